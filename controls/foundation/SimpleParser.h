#pragma once
// The base of every syntax-colouring parser of the family.
//
// Colouring contract, as text sources use it, for each line:
//   1. UpdateLinePos(line index);
//   2. PrepareColorData(line index, text, colour data): a zeroed string of the text's length;
//   3. ColorString(text, end state of the previous line, colour data): fills one style byte per
//      character and answers the line's end state; a changed end state makes the source colour
//      the next line again.
// Listeners (sources, views) register a method and are told of changes with (parser, A, B),
// whose meaning is the subclass's, and of the parser's destruction through Notification.

#include <cstdint>
#include <string>

#include "controls/foundation/NotifierList.h"
#include "framework/core/Component.h"

class TFont;

class TSimpleParser : public TComponent {
    ZEL_DECLARE_CLASS(TSimpleParser)
public:
    explicit TSimpleParser(TComponent* AOwner = nullptr);
    ~TSimpleParser() override;

    virtual void UpdateLinePos(int32_t ALinePos) { FLinePos = ALinePos; }
    // The font of a style, or nil for the view's own font.
    virtual TFont* GetFont(int32_t Style);
    // True, with the colour, when the style has a back colour of its own.
    virtual bool GetBackColor(int32_t Style, uint32_t& Color);
    // Colours one line that starts in StartState; answers the state at the line's end.
    virtual int32_t ColorString(const std::string& Text, int32_t StartState, std::string& ColorData) = 0;
    // True when the source should store the colour data with the line.
    virtual bool StoreColorData();
    virtual void PrepareColorData(int32_t ALinePos, const std::string& Text, std::string& ColorData);

    void RegisterNotifier(const THSNotifyEvent& Method);
    void UnRegisterNotifier(const THSNotifyEvent& Method);

    int32_t LinePos() const { return FLinePos; }
    TNotifierList* NotifierList() const { return FNotifierList; }

    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    // Tells every listener of a change.
    void NotifyEvents(int32_t A, int32_t B);

private:
    TNotifierList* FNotifierList;
    int32_t FLinePos = 0;
};
