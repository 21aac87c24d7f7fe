// The masked editor and the date and time editors in real windows: typed input that the mask
// takes or refuses, erasing and pasting, values set from code, and the picker's text both ways.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>

#include "UiTestSupport.h"
#include "controls/foundation/PackagedRegistries.h"
#include "controls/tree/EditFamily.h"
#include "controls/tree/EditTextEditors.h"
#include "framework/core/Exceptions.h"
#include "framework/ui/Clipbrd.h"

namespace {

class TextEditors : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        TFormatSettings S;
        S.ShortDateFormat = "dd.mm.yyyy";
        S.LongTimeFormat = "hh:nn:ss";
        S.DateSeparator = '.';
        S.TimeSeparator = ':';
        SetFormatSettings(S);
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(140, 140, 360, 200);
        Form->Show();
    }
    void TearDown() override {
        Form.reset();
        ResetFormatSettings();
        UiTest::TearDown();
    }
    template <class T> T* Place(int Top) {
        auto* E = new T(Form.get());
        E->SetParent(Form.get());
        E->SetBounds(20, Top, 200, 22);
        return E;
    }
    static void Pump() {
        PumpUntil([] { return false; }, 60);
    }
    std::unique_ptr<TForm> Form;
};

TEST_F(TextEditors, TheMaskTakesOnlyWhatFitsAndKeepsItsLiterals) {
    struct Case {
        const char* Mask;
        const char* Typed;
        const char* Shown;
        const char* Text;
    } Cases[] = {
        {"000-0000;1;_", "5551234", "555-1234", "555-1234"},
        {"000-0000;0;_", "5551234", "555-1234", "5551234"},
        {"000-0000;1;_", "55x5", "555-____", "555-    "}, // the letter is refused
        {">LL-00;1;*", "ab12", "AB-12", "AB-12"},
        {"<LLL;0; ", "XyZ", "xyz", "xyz"},
        {"99:99;1;_", "1230", "12:30", "12:30"},
        {"\\(000\\);1;_", "12", "(12_)", "(12 )"},
    };
    auto* E = Place<THSMaskEdit>(20);
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Mask);
        E->SetEditMask(C.Mask);
        E->SetText("");
        E->SetFocus();
        SendMessageA(E->Handle(), EM_SETSEL, 0, 0);
        PostChars(E->Handle(), C.Typed);
        Pump();
        EXPECT_EQ(C.Shown, E->EditText());
        EXPECT_EQ(C.Text, E->Text());
    }
}

TEST_F(TextEditors, ErasingBlanksSlotsAndPastingTypesThroughTheMask) {
    auto* E = Place<THSMaskEdit>(20);
    E->SetEditMask("000-0000;1;_");
    E->SetText("555-1234");
    EXPECT_EQ("555-1234", E->EditText()) << "a value set from code goes through the mask";
    EXPECT_TRUE(E->IsComplete());
    E->SetFocus();

    SendMessageA(E->Handle(), EM_SETSEL, 4, 4);
    PostChars(E->Handle(), "\b");
    Pump();
    EXPECT_EQ("55_-1234", E->EditText()) << "Backspace skips the literal and blanks the digit before it";
    EXPECT_FALSE(E->IsComplete());

    SendMessageA(E->Handle(), EM_SETSEL, 5, 5);
    PostKey(E->Handle(), VK_DELETE);
    Pump();
    EXPECT_EQ("55_-1_34", E->EditText());

    auto Saved = SetClipboard(std::make_unique<TMemoryClipboard>());
    Clipboard().SetAsText("9a87");
    SendMessageA(E->Handle(), EM_SETSEL, 0, 8);
    SendMessageA(E->Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ("987-____", E->EditText()) << "the selection is cleared; the letter is refused";
    SetClipboard(std::move(Saved));

    E->SetText("12x4567");
    EXPECT_EQ("12_-4567", E->EditText()) << "a character that does not fit its slot stays blank";

    E->SetEditMask("");
    E->SetText("free text");
    EXPECT_EQ("free text", E->Text()) << "without a mask it is a plain editor";
}

TEST_F(TextEditors, TheMaskEditIsTheTextEditorOfTheBlankPropertyName) {
    auto* E = Place<THSEdit>(20);
    EXPECT_EQ(THSMaskEdit::StaticClass(), FindEditClass(StringValueType(), " "));
    EXPECT_EQ(THSSimpleEdit::StaticClass(), FindEditClass(StringValueType(), "Caption"));
    EXPECT_TRUE(IsTextEditClass(THSMaskEdit::StaticClass()));
    E->SetEditClass("THSMaskEdit");
    auto* M = dynamic_cast<THSMaskEdit*>(E->Edit());
    ASSERT_NE(nullptr, M);
    M->SetEditMask("00/00;1;_");
    E->SetEditText("1231");
    EXPECT_EQ("12.31", E->EditText()) << "'/' stands for the date separator";
}

TEST_F(TextEditors, DatePickerTextGoesBothWaysAndAnEmptyTextClearsIt) {
    auto* D = Place<THSDateEdit>(20);
    D->SetText("05.03.2024");
    D->HandleNeeded();
    EXPECT_TRUE(D->HasValue());
    EXPECT_EQ("05.03.2024", D->Text());
    char Buf[64] = {};
    GetWindowTextA(D->Handle(), Buf, sizeof(Buf));
    EXPECT_STREQ("05.03.2024", Buf) << "the window text is the value";

    EXPECT_TRUE(SetWindowTextA(D->Handle(), "31.12.1999"));
    EXPECT_EQ("31.12.1999", D->Text());
    EXPECT_FALSE(SetWindowTextA(D->Handle(), "not a date")) << "a wrong text is refused";
    EXPECT_EQ("31.12.1999", D->Text());
    EXPECT_THROW(D->SetText("32.13.2000"), EConvertError);
    EXPECT_EQ("31.12.1999", D->Text()) << "a failed set keeps the value";

    D->SetText("");
    EXPECT_FALSE(D->HasValue()) << "the check box is cleared";
    EXPECT_EQ("", D->Text());
}

TEST_F(TextEditors, TimePickerKeepsOnlyTheTime) {
    auto* T = Place<THSTimeEdit>(60);
    T->SetText("13:45");
    T->HandleNeeded();
    EXPECT_EQ("13:45:00", T->Text());
    EXPECT_NE(0, GetWindowLongA(T->Handle(), GWL_STYLE) & DTS_UPDOWN);
    T->SetText("");
    EXPECT_EQ("", T->Text());
    EXPECT_FALSE(T->HasValue());
    for (const char* Bad : {"24:00", "12:60", "12:", "x", "1:2:3:4"}) {
        SCOPED_TRACE(Bad);
        EXPECT_THROW(StrToTime(Bad), EConvertError);
    }
    EXPECT_DOUBLE_EQ(EncodeTime(7, 5, 9, 0), StrToTime("7:05:09"));
}

} // namespace

namespace {

TEST_F(TextEditors, CharCaseConvertsTypedAndSetTexts) {
    auto* E = Place<THSSimpleEdit>(20);
    E->SetText("Mixed");
    E->SetCharCase(TEditCharCase::ecUpperCase);
    EXPECT_EQ("MIXED", E->Text()) << "the text there is converted too";
    E->SetFocus();
    SendMessageA(E->Handle(), EM_SETSEL, 5, 5);
    PostChars(E->Handle(), "ab");
    Pump();
    EXPECT_EQ("MIXEDAB", E->Text());
    E->SetCharCase(TEditCharCase::ecLowerCase);
    E->SetText("Set From Code");
    EXPECT_EQ("set from code", E->Text());
    EXPECT_NE(0, GetWindowLongA(E->Handle(), GWL_STYLE) & ES_LOWERCASE);
    EXPECT_EQ(0, GetWindowLongA(E->Handle(), GWL_STYLE) & ES_UPPERCASE);
    E->SetOEMConvert(true);
    EXPECT_NE(0, GetWindowLongA(E->Handle(), GWL_STYLE) & ES_OEMCONVERT);
    const TPropInfo* P = THSSimpleEdit::StaticClass()->FindProperty("CharCase");
    ASSERT_NE(nullptr, P);
    EXPECT_NE(nullptr, THSSimpleEdit::StaticClass()->FindProperty("MaxLength"));
}

} // namespace

namespace {

TEST_F(TextEditors, AnOpenCalendarKeepsTheKeysFromTheEditControl) {
    static const int DateKey = 0;
    RegisterEditClass(&DateKey, nullptr, "", THSDateEdit::StaticClass());
    auto* Next = Place<THSEdit>(60);
    auto* E = Place<THSEdit>(20);
    E->SetEditClass("THSDateEdit");
    Next->SetEditTabStop(true);
    E->SetEditTabStop(true);
    auto* D = dynamic_cast<THSDateEdit*>(E->Edit());
    ASSERT_NE(nullptr, D);
    E->SetEditText("05.03.2024");
    EXPECT_EQ("05.03.2024", E->EditText());
    D->SetFocus();
    Pump();

    NMHDR Open{D->Handle(), 0, DTN_DROPDOWN};
    D->Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&Open));
    EXPECT_TRUE(D->InnerDroppedDown());
    PostKey(D->Handle(), VK_DOWN);
    Pump();
    EXPECT_EQ(D->Handle(), GetFocus()) << "Down belongs to the calendar while it is open";

    NMHDR Close{D->Handle(), 0, DTN_CLOSEUP};
    D->Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&Close));
    EXPECT_FALSE(D->InnerDroppedDown());
    PostKey(D->Handle(), VK_DOWN);
    Pump();
    EXPECT_EQ(Next->Edit()->Handle(), GetFocus()) << "closed, Down moves to the next control again";
    UnRegisterEditClass(&DateKey, nullptr, "", THSDateEdit::StaticClass());
}

} // namespace
