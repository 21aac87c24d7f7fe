// The shared tree applied to objects: checked whole first, then applied.
#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "framework/core/Collection.h"
#include "framework/core/Component.h"
#include "framework/core/ObjectText.h"
#include "framework/core/ObjectTree.h"
#include "framework/core/ScopeGuard.h"
#include "framework/core/Streams.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"

namespace objecttree {
namespace {

// Runs twice over the same tree: first checking only (nothing is changed; the target object
// is used only to look sub-objects up), then for real. What the check leaves out, when the
// filer's hooks allow it, the second run leaves out too.
class Applier {
public:
    Applier(TPersistent* root, bool commit, const TFilerHooks* hooks, std::set<const void*>& skipped)
        : FRoot(root), FCommit(commit), FHooks(hooks), FSkipped(skipped) {}

    void ApplyObject(const TextObject& node, TObject* target, TClass cls) {
        ApplyProps(node.Props, target, cls);
        for (const TextObject& childNode : node.Children) {
            if (FSkipped.count(&childNode))
                continue;
            auto* owner = dynamic_cast<TComponent*>(target);
            TClass childClass = nullptr;
            TComponent* child = nullptr;
            if (!Checked(&childNode, [&] {
                    if (!owner && !(target == nullptr && cls && cls->InheritsFrom(TComponent::StaticClass())))
                        Fail(childNode.Line, SInvalidImage);
                    childClass = GetClass(childNode.ClassName);
                    if (!childClass)
                        Fail(childNode.Line, Format(SClassNotFound, childNode.ClassName.c_str()));
                    if (!childClass->InheritsFrom(TComponent::StaticClass()) || !childClass->CanCreate())
                        Fail(childNode.Line, SInvalidImage);
                    child = owner ? owner->FindComponent(childNode.Name) : nullptr;
                    if (child && !child->InheritsFrom(childClass))
                        Fail(childNode.Line, SInvalidImage);
                }))
                continue;
            if (FCommit && !child) {
                TObject* made = childClass->Create(owner);
                child = dynamic_cast<TComponent*>(made);
                if (!child) {
                    delete made;
                    Fail(childNode.Line, SInvalidImage);
                }
                child->SetState(csLoading | csReading, true);
                if (!childNode.Name.empty())
                    child->SetName(childNode.Name);
                FLoaded.push_back(child);
            }
            // A component the text is yet to make has no collections to learn item classes
            // from; when its text fills one, it is checked against a scratch instance.
            std::unique_ptr<TObject> scratch;
            if (!FCommit && !child && HasCollectionItems(childNode))
                scratch.reset(childClass->Create(nullptr));
            TObject* checked = child ? child : scratch.get();
            ApplyObject(childNode, checked, checked ? checked->ClassType() : childClass);
        }
    }

    // Checks (and when committing, sets) the component references met while applying.
    void ResolveFixups(const TextObject& tree) {
        auto* rootComp = dynamic_cast<TComponent*>(FRoot);
        if (!FCommit)
            CollectNames(tree);
        for (const Fixup& f : FFixups) {
            if (SameText(f.Name, "nil")) {
                if (FCommit && f.Obj)
                    SetObjectProp(f.Obj, f.Info, nullptr);
                continue;
            }
            TComponent* ref = FindByName(rootComp, f.Name);
            TClass cls = ref ? ref->ClassType() : nullptr;
            if (!ref && !FCommit)
                for (const auto& planned : FPlanned)
                    if (SameText(planned.first, f.Name))
                        cls = planned.second;
            if (!cls && FHooks && FHooks->OuterReference) {
                if (FCommit && f.Obj)
                    FHooks->OuterReference(f.Obj, *f.Info, f.Name);
                continue;
            }
            if (!Checked(f.Prop, [&] {
                    if (!cls || (f.Info->PropClass && !cls->InheritsFrom(f.Info->PropClass)))
                        Fail(f.Line, SInvalidPropertyValue);
                }))
                continue;
            if (FCommit && f.Obj)
                SetObjectProp(f.Obj, f.Info, ref);
        }
    }

    void FinishLoading() {
        for (TComponent* c : FLoaded) {
            c->SetState(csReading, false);
            c->Loaded();
        }
    }

private:
    // Trees read from the binary form carry no line numbers.
    [[noreturn]] static void Fail(int line, const std::string& msg) {
        throw EReadError(line > 0 ? Format(SParseError, msg.c_str(), line) : msg);
    }

    // Runs a check. When it fails while checking and the filer chooses to read on, the part is
    // left out of both runs and false is answered.
    template <class F> bool Checked(const void* part, F check) {
        if (FCommit || !FHooks || !FHooks->SkipError) {
            check();
            return true;
        }
        try {
            check();
            return true;
        } catch (const EReadError& e) {
            if (!FHooks->SkipError(e.Message()))
                throw;
            FSkipped.insert(part);
            return false;
        }
    }

    static bool HasCollectionItems(const TextObject& node) {
        for (const TextProp& p : node.Props)
            if (p.Value.K == TextValue::vCollection && !p.Value.Items.empty())
                return true;
        return false;
    }

    void ApplyProps(const std::vector<TextProp>& props, TObject* target, TClass cls) {
        for (const TextProp& p : props)
            if (!FSkipped.count(&p))
                Checked(&p, [&] { ApplyProp(p, target, cls); });
    }

    void ApplyProp(const TextProp& prop, TObject* target, TClass cls) {
        // Walk the dotted name down to the object that holds the last part.
        std::vector<std::string> parts;
        size_t start = 0;
        for (;;) {
            size_t dot = prop.Name.find('.', start);
            parts.push_back(
                prop.Name.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
            if (dot == std::string::npos)
                break;
            start = dot + 1;
        }
        TObject* obj = target;
        TClass objClass = obj ? obj->ClassType() : cls;
        for (size_t i = 0; i + 1 < parts.size(); ++i) {
            // "Lines.Strings = (...)": the string list of a TStrings property.
            if (i + 2 == parts.size() && SameText(parts[i + 1], "Strings")) {
                const TPropInfo* info = objClass ? objClass->FindProperty(parts[i]) : nullptr;
                if (info && info->Kind == tkClass) {
                    TObject* sub = obj ? GetObjectProp(obj, info) : nullptr;
                    TClass subClass = sub ? sub->ClassType() : info->PropClass;
                    if (subClass && subClass->InheritsFrom(TStrings::StaticClass())) {
                        ApplyStrings(prop, static_cast<TStrings*>(sub));
                        return;
                    }
                }
            }
            const TPropInfo* info = objClass ? objClass->FindProperty(parts[i]) : nullptr;
            if (!info || info->Kind != tkClass)
                Fail(prop.Line, Format(SUnknownProperty, prop.Name.c_str()));
            TObject* sub = obj ? GetObjectProp(obj, info) : nullptr;
            if (obj && !sub)
                Fail(prop.Line, Format(SUnknownProperty, prop.Name.c_str()));
            obj = sub;
            objClass = sub ? sub->ClassType() : info->PropClass;
        }
        const TPropInfo* info = objClass ? objClass->FindProperty(parts.back()) : nullptr;
        if (!info || info->Kind == tkUnknown)
            Fail(prop.Line, Format(SUnknownProperty, prop.Name.c_str()));
        if (info->Kind == tkMethod) {
            BindEvent(prop, *info, obj);
            return;
        }
        SetValue(prop, info, obj);
    }

    // An event names its handler; only a filer can bind it to one, and only a component's own.
    void BindEvent(const TextProp& prop, const TPropInfo& info, TObject* obj) {
        if (prop.Value.K != TextValue::vIdent)
            Fail(prop.Line, SInvalidPropertyValue);
        auto* comp = dynamic_cast<TComponent*>(obj);
        if (FCommit && comp && prop.Name.find('.') == std::string::npos && FHooks && FHooks->BindEvent)
            FHooks->BindEvent(comp, info, prop.Value.S);
    }

    void ApplyStrings(const TextProp& prop, TStrings* list) {
        if (prop.Value.K != TextValue::vList)
            Fail(prop.Line, SInvalidPropertyValue);
        for (const TextValue& v : prop.Value.List)
            if (v.K != TextValue::vString)
                Fail(prop.Line, SStringExpected);
        if (!FCommit || !list)
            return;
        list->BeginUpdate();
        list->Clear();
        for (const TextValue& v : prop.Value.List)
            list->Add(v.S);
        list->EndUpdate();
    }

    int64_t OrdinalValue(const TextProp& prop, const TPropInfo* info) {
        const TextValue& v = prop.Value;
        switch (info->Kind) {
        case tkInteger:
        case tkInt64:
            if (v.K == TextValue::vInt) {
                if (info->Kind == tkInteger && (v.I < INT32_MIN || v.I > static_cast<int64_t>(UINT32_MAX)))
                    Fail(prop.Line, SInvalidPropertyValue);
                return info->Kind == tkInteger ? static_cast<int32_t>(static_cast<uint32_t>(v.I)) : v.I;
            }
            if (v.K == TextValue::vIdent && info->Idents) {
                int32_t n;
                if (info->Idents->IdentToInt(v.S, n))
                    return n;
            }
            break;
        case tkChar:
            if (v.K == TextValue::vString && v.S.size() == 1)
                return static_cast<unsigned char>(v.S[0]);
            break;
        case tkBool:
            if (v.K == TextValue::vIdent && SameText(v.S, "True"))
                return 1;
            if (v.K == TextValue::vIdent && SameText(v.S, "False"))
                return 0;
            break;
        case tkEnumeration:
            if (v.K == TextValue::vIdent && info->EnumType) {
                int i = info->EnumType->IndexOf(v.S);
                if (i >= 0)
                    return i;
            }
            break;
        case tkSet:
            if (v.K == TextValue::vSet) {
                uint64_t bits = 0;
                for (const std::string& n : v.Names) {
                    int i = info->EnumType ? info->EnumType->IndexOf(n) : -1;
                    int32_t number;
                    if (i < 0 && !n.empty() && n[0] >= '0' && n[0] <= '9' && TryStrToInt(n, number))
                        i = number;
                    if (i < 0 || i >= 64)
                        Fail(prop.Line, SInvalidPropertyValue);
                    bits |= uint64_t{1} << i;
                }
                return static_cast<int64_t>(bits);
            }
            break;
        default:
            break;
        }
        Fail(prop.Line, SInvalidPropertyValue);
    }

    void SetValue(const TextProp& prop, const TPropInfo* info, TObject* obj) {
        const TextValue& v = prop.Value;
        if (info->Kind == tkClass) {
            SetObjectValue(prop, info, obj);
            return;
        }
        if (info->IsReadOnly())
            Fail(prop.Line, SReadOnlyProperty);
        if (info->IsOrdinal()) {
            int64_t n = OrdinalValue(prop, info);
            if (FCommit && obj)
                SetOrdProp(obj, info, n);
        } else if (info->Kind == tkFloat) {
            double f;
            if (v.K == TextValue::vFloat)
                f = v.F;
            else if (v.K == TextValue::vInt)
                f = static_cast<double>(v.I);
            else
                Fail(prop.Line, SInvalidPropertyValue);
            if (FCommit && obj)
                SetFloatProp(obj, info, f);
        } else if (info->Kind == tkString) {
            if (v.K != TextValue::vString)
                Fail(prop.Line, SStringExpected);
            // A component's name is a string its setter refuses: refused here, before anything
            // has changed, not halfway through applying.
            if (info == TComponent::StaticClass()->FindProperty("Name") && !v.S.empty() && !IsValidIdent(v.S))
                Fail(prop.Line, Format(SInvalidName, v.S.c_str()));
            if (FCommit && obj)
                SetStrProp(obj, info, v.S);
        } else if (info->Kind == tkBinary) {
            if (v.K != TextValue::vBinary)
                Fail(prop.Line, SInvalidBinary);
            if (FCommit && obj)
                SetStrProp(obj, info, v.S);
        }
    }

    void SetObjectValue(const TextProp& prop, const TPropInfo* info, TObject* obj) {
        const TextValue& v = prop.Value;
        TObject* current = obj ? GetObjectProp(obj, info) : nullptr;
        TClass cls = current ? current->ClassType() : info->PropClass;
        if (v.K == TextValue::vCollection) {
            if (!cls || !cls->InheritsFrom(TCollection::StaticClass()))
                Fail(prop.Line, SInvalidPropertyValue);
            auto* coll = static_cast<TCollection*>(current);
            TClass itemClass = coll ? coll->ItemClass() : nullptr;
            if (coll && (!itemClass || !itemClass->CanCreate()))
                Fail(prop.Line, SInvalidPropertyValue);
            if (FCommit && coll) {
                auto bracket = UpdateBracket(*coll);
                coll->Clear();
                for (const TextItem& item : v.Items)
                    ApplyProps(item.Props, coll->Add(), itemClass);
            } else if (!v.Items.empty()) {
                // Checking changes nothing, but an item's own sub-objects (a collection inside it,
                // with its item class) are only known from an item: a scratch one in no collection.
                std::unique_ptr<TObject> scratch(itemClass ? itemClass->CreateItem(nullptr) : nullptr);
                for (const TextItem& item : v.Items)
                    ApplyProps(item.Props, scratch.get(), itemClass);
            }
            return;
        }
        if (v.K == TextValue::vIdent) {
            // A reference to a component of the root, or nil; resolved once every object is read,
            // because it may name a component that comes later in the text.
            if (info->IsReadOnly())
                Fail(prop.Line, SReadOnlyProperty);
            FFixups.push_back({obj, info, v.S, prop.Line, &prop});
            return;
        }
        Fail(prop.Line, SInvalidPropertyValue);
    }

    struct Fixup {
        TObject* Obj;
        const TPropInfo* Info;
        std::string Name;
        int Line;
        const TextProp* Prop;
    };

    static TComponent* FindByName(TComponent* owner, const std::string& name) {
        if (!owner)
            return nullptr;
        if (TComponent* c = owner->FindComponent(name))
            return c;
        for (int i = 0; i < owner->ComponentCount(); ++i)
            if (TComponent* c = FindByName(owner->Components(i), name))
                return c;
        return nullptr;
    }

    void CollectNames(const TextObject& node) {
        for (const TextObject& child : node.Children) {
            if (FSkipped.count(&child))
                continue;
            TClass cls = GetClass(child.ClassName);
            if (!child.Name.empty())
                FPlanned.push_back({child.Name, cls});
            CollectNames(child);
        }
    }

    TPersistent* FRoot;
    bool FCommit;
    const TFilerHooks* FHooks;
    std::set<const void*>& FSkipped; // parts of the tree left out
    std::vector<TComponent*> FLoaded;
    std::vector<Fixup> FFixups;
    std::vector<std::pair<std::string, TClass>> FPlanned; // components the text will make
};

} // namespace

void ApplyTree(const TextObject& Tree, TPersistent* Root, const TFilerHooks* Hooks) {
    auto* comp = dynamic_cast<TComponent*>(Root);
    std::set<const void*> skipped;
    Applier check(Root, false, Hooks, skipped);
    check.ApplyObject(Tree, Root, Root->ClassType());
    check.ResolveFixups(Tree);
    Applier apply(Root, true, Hooks, skipped);
    if (comp)
        comp->SetState(csLoading | csReading, true);
    {
        TFailureGuard endLoading([comp] {
            if (comp)
                comp->SetState(csLoading | csReading, false);
        });
        if (comp && !Tree.Name.empty() && comp->Name().empty())
            comp->SetName(Tree.Name);
        apply.ApplyObject(Tree, Root, Root->ClassType());
        apply.ResolveFixups(Tree);
    }
    apply.FinishLoading();
    if (comp) {
        comp->SetState(csReading, false);
        comp->Loaded();
    }
}

} // namespace objecttree
