#pragma once
// A file system whose files are text properties of one component: the text model loads and
// saves its lines through it when its source is a property rather than a file.

#include <cstdint>
#include <string>

#include "controls/foundation/FileSystem.h"

// Components are named in descriptors by a number handed out per process, never by their
// address: a descriptor that outlives its component, or one made up, names no component.
int32_t ComponentIdOf(TComponent* Component); // 0 for nil; the same number while it lives
TComponent* ComponentById(int32_t Id);        // nil when unknown or freed
// Program end.
void FreeComponentIds();

class TPropFileSystem : public TFileSystem {
    ZEL_DECLARE_CLASS(TPropFileSystem)
public:
    explicit TPropFileSystem(TComponent* AOwner = nullptr) : TFileSystem(AOwner) {}
    ~TPropFileSystem() override;

    const std::string& PropName() const { return FPropName; }
    void SetPropName(const std::string& Value) { FPropName = Value; }
    TComponent* Component() const { return FComponent; }
    void SetComponent(TComponent* Value);
    // The published form of Component.
    int32_t ComponentId() const { return ComponentIdOf(FComponent); }
    void SetComponentId(int32_t Value) { SetComponent(ComponentById(Value)); }

    // A TPropStream on the component's property PropName; raises "Component doesn't exist"
    // (EHSError) when no component is set.
    TStream* GetFileStream(const std::string& Name, uint16_t Mode) override;
    // True when a component and PropName are set and the property holds text or a string list.
    bool FileExists(const std::string& Name) override;
    int32_t GetFileSystemLevel() override { return 1; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TComponent* FComponent = nullptr;
    std::string FPropName;
};
