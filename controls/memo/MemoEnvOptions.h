#pragma once
// The global editor options and the small persistent parts that memos and the options share:
// special symbols, the line separator, the current-line highlight.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "controls/foundation/OptionObjects.h"
#include "controls/memo/TextStyles.h"
#include "controls/textmodel/EnvOptionListeners.h"
#include "framework/ui/Graphics.h"

class TSpecialSymbols : public TPersistent {
    ZEL_DECLARE_CLASS(TSpecialSymbols)
public:
    TSpecialSymbols();
    void Assign(TPersistent* Source) override;
    const std::string& EOLString() const { return FEOLString; }
    void SetEOLString(const std::string& Value);
    const std::string& EOFString() const { return FEOFString; }
    void SetEOFString(const std::string& Value);
    char SpaceChar() const { return FSpaceChar; }
    void SetSpaceChar(char Value);
    char TabChar() const { return FTabChar; }
    void SetTabChar(char Value);
    // The owner memo repaints (when it shows the symbols).
    std::function<void()> OnUpdate;

private:
    void Update();
    std::string FEOLString;
    std::string FEOFString;
    char FSpaceChar = 0;
    char FTabChar = 0;
};

enum TSeparatorOption : uint8_t { moDrawLineSeparator = 1, moWrappedLineSeparator = 2 };
using TSeparatorOptions = uint8_t;

class TLineSeparator : public TPersistent {
    ZEL_DECLARE_CLASS(TLineSeparator)
public:
    TLineSeparator();
    ~TLineSeparator() override;
    void Assign(TPersistent* Source) override;
    TPen& Pen() { return *FPen; }
    TPen* PenPtr() const { return FPen.get(); }
    void SetPen(TPen* Value);
    TSeparatorOptions Options() const { return FOptions; }
    void SetOptions(TSeparatorOptions Value);
    std::function<void()> OnInvalidate;
    virtual void Update();

private:
    void PenChanged();
    std::unique_ptr<TPen> FPen;
    TSeparatorOptions FOptions = 0;
};

enum TShapeHighlightType : uint8_t { shDoubleLine, shSingleLine };

class TLineHighlight : public TPersistent {
    ZEL_DECLARE_CLASS(TLineHighlight)
public:
    TLineHighlight();
    ~TLineHighlight() override;
    void Assign(TPersistent* Source) override;
    TPen& Pen() { return *FPen; }
    TPen* PenPtr() const { return FPen.get(); }
    void SetPen(TPen* Value);
    TBrush& Brush() { return *FBrush; }
    TBrush* BrushPtr() const { return FBrush.get(); }
    void SetBrush(TBrush* Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    TShapeHighlightType Shape() const { return FShape; }
    void SetShape(TShapeHighlightType Value);
    // The owner memo repaints its caret line.
    std::function<void()> OnInvalidate;
    virtual void Update();

private:
    void PenChanged();
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    bool FVisible = false;
    TShapeHighlightType FShape = shDoubleLine;
};

class TMemoEnvOptions : public TOptionExt {
    ZEL_DECLARE_CLASS(TMemoEnvOptions)
public:
    TMemoEnvOptions();
    ~TMemoEnvOptions() override;
    std::string GetKey() const override { return "CodeEdit\\"; }
    void InitValues() override;
    // Sends the options message to every registered object, unless updates are locked.
    void Update() override;

    uint32_t Options() const { return FOptions; }
    void SetOptions(uint32_t Value);
    const std::string& KeyMapping() const { return FKeyMapping; }
    void SetKeyMapping(const std::string& Value);
    int32_t MarginPos() const { return FMarginPos; }
    void SetMarginPos(int32_t Value);
    int32_t GutterWidth() const { return FGutterWidth; }
    void SetGutterWidth(int32_t Value);
    TBrush* GutterBrush() const { return FGutterBrush.get(); }
    void SetGutterBrush(TBrush* Value);
    TPen* MarginPen() const { return FMarginPen.get(); }
    void SetMarginPen(TPen* Value);
    TLineSeparator* LineSeparator() const { return FLineSeparator.get(); }
    void SetLineSeparator(TLineSeparator* Value);
    TLineHighlight* LineHighlight() const { return FLineHighlight.get(); }
    void SetLineHighlight(TLineHighlight* Value);
    TMemoFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value);
    TTextStyles* TextStyles() const { return FTextStyles.get(); }
    void SetTextStyles(TTextStyles* Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool UseMonoFont() const { return FUseMonoFont; }
    void SetUseMonoFont(bool Value);
    TColor ReadOnlyColor() const { return FReadOnlyColor; }
    void SetReadOnlyColor(TColor Value);
    TSpecialSymbols* SpecialSymbols() const { return FSpecialSymbols.get(); }
    void SetSpecSymbols(TSpecialSymbols* Value);
    const std::string& ColorSchema() const { return FColorSchema; }
    void SetColorSchema(const std::string& Value) { FColorSchema = Value; }

    // Messages 0x7F6 / 0x7F7: load or save the text styles through the file dialogs.
    void Dispatch(uint32_t Msg);

private:
    void OnNeedUpdate();
    bool FInitializing = false;
    uint32_t FOptions = 0;
    std::string FKeyMapping;
    int32_t FMarginPos = 80;
    int32_t FGutterWidth = 32;
    std::unique_ptr<TBrush> FGutterBrush;
    std::unique_ptr<TPen> FMarginPen;
    std::unique_ptr<TLineSeparator> FLineSeparator;
    std::unique_ptr<TLineHighlight> FLineHighlight;
    std::unique_ptr<TMemoFont> FFont;
    std::unique_ptr<TTextStyles> FTextStyles;
    TColor FColor = clWindow;
    bool FUseMonoFont = true;
    TColor FReadOnlyColor = clWindow;
    std::unique_ptr<TSpecialSymbols> FSpecialSymbols;
    std::string FColorSchema;
};

// The process-wide options object (made on first use through the family's option registry).
TMemoEnvOptions* GlobalMemoOptions();
// RegisterMemoEnvOptObject / UnRegisterMemoEnvOptObject: the objects told when the global
// options change (controls/textmodel/EnvOptionListeners.h).
// Calls Callback with every style name of the global options' table, in order.
void EnumTextStyles(const std::function<void(const std::string&)>& Callback);
