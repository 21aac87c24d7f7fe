#pragma once
// Helpers shared by the text model's tests.

#include <string>
#include <vector>

#include "controls/textmodel/MemoSource.h"

// Stored lines joined by '|', so a failing comparison shows every line.
inline std::string Text(const TCustomMemoSource& s) {
    std::string out;
    for (int32_t i = 0; i < s.GetStrCount(); ++i) {
        if (i)
            out += '|';
        out += s.Strings().GetRaw(i);
    }
    return out;
}

// The inverse of Text: "a|b" gives the lines "a" and "b".
inline std::vector<std::string> SplitBars(const std::string& s) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : s) {
        if (c == '|') {
            out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    out.push_back(cur);
    return out;
}

inline std::string CaretText(const TCustomMemoSource& s) {
    return std::to_string(s.GetCurChar()) + "," + std::to_string(s.GetCurLine());
}

// A view that records every notification a source sends.
class NotificationLog : public TComponent {
public:
    NotificationLog() : TComponent(nullptr) {}
    ~NotificationLog() override {
        if (FSource)
            FSource->UnregisterNotifier(THSNotifyEvent(this, &NotificationLog::Changed));
    }
    struct Entry {
        uint16_t state;
        int32_t first, last;
    };
    std::vector<Entry> entries;
    // Line count the source still had when it told this view that it goes; -1 when not told.
    int32_t countWhenDestroyed = -1;

    void Attach(TCustomMemoSource& s, bool initial = false) {
        FSource = &s;
        s.RegisterNotifier(THSNotifyEvent(this, &NotificationLog::Changed), initial);
    }
    void Changed(TObject* sender, int32_t first, int32_t last) {
        entries.push_back({static_cast<TCustomMemoSource*>(sender)->MemoState, first, last});
    }

protected:
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        if (operation == opRemove && component == FSource) {
            countWhenDestroyed = FSource->GetStrCount();
            FSource = nullptr;
        }
    }

private:
    TCustomMemoSource* FSource = nullptr;
};
