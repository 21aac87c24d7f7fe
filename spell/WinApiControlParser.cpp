#include "spell/WinApiControlParser.h"

#include <richedit.h>

#include <vector>

#include "framework/core/SysUtils.h"

void TWinAPIControlParser::Initialize(void* Target) {
    FControl = static_cast<HWND>(Target);
    FEndSet = false;
    FColumn = FLine = 0;
    FHeldLength = 0;
    FReload = true;
    FHeldLine = -1;
    FBuffer.clear();
    FLineCount = static_cast<int>(Send(EM_GETLINECOUNT));
    FSelStart = FSelLength = 0;
    char cls[1025] = {};
    GetClassNameA(FControl, cls, 1024);
    std::string name = LowerCase(cls);
    if (name.find("richedit2") != std::string::npos)
        FKind = 2;
    else if (name.find("richedit") != std::string::npos || name.find("syntaxmemo") != std::string::npos ||
             name.find("lmdmemo") != std::string::npos)
        FKind = 1;
    else
        FKind = 0;
}

bool TWinAPIControlParser::EnsureLineCurrent() {
    if (FLine == FHeldLine && FColumn >= FHeldLength) {
        ++FLine;
        FColumn = 0;
    } else if (FColumn < 0) {
        // Before the first character of the text there is nothing, whether or not a line is held.
        if (FLine > 0) {
            --FLine;
            FColumn = -1;
        } else {
            FColumn = 0;
            return false;
        }
    }
    bool result = true;
    if (FLine != FHeldLine || FReload) {
        result = FLine < FLineCount;
        if (result) {
            FReload = false;
            // The whole line, however long: the control is asked for its length first.
            int start = static_cast<int>(Send(EM_LINEINDEX, static_cast<WPARAM>(FLine)));
            int length = start < 0 ? 0 : static_cast<int>(Send(EM_LINELENGTH, static_cast<WPARAM>(start)));
            std::string line;
            if (length > 0 && length < 0xFFFF) {
                std::vector<char> buf(static_cast<size_t>(length) + 2, 0);
                *reinterpret_cast<WORD*>(buf.data()) = static_cast<WORD>(length);
                LRESULT got =
                    Send(EM_GETLINE, static_cast<WPARAM>(FLine), reinterpret_cast<LPARAM>(buf.data()));
                line.assign(buf.data(), static_cast<size_t>(got < 0 ? 0 : std::min<LRESULT>(got, length)));
            } else if (length > 0) {
                int total = GetWindowTextLengthA(FControl);
                std::vector<char> all(static_cast<size_t>(total) + 1, 0);
                GetWindowTextA(FControl, all.data(), total + 1);
                if (start <= total)
                    line.assign(all.data() + start, static_cast<size_t>(std::min(length, total - start)));
            }
            FBuffer = line + "\r\n";
            FHeldLength = static_cast<int>(FBuffer.size());
            FHeldLine = FLine;
            FLineCount = static_cast<int>(Send(EM_GETLINECOUNT));
        }
        if (FColumn == -1)
            FColumn = FHeldLength - 1;
    }
    if (FEndSet && FColumn > FEndColumn && FLine >= FEndLine)
        return false;
    return result;
}

char TWinAPIControlParser::GetChar() {
    if (!EnsureLineCurrent() || FColumn < 0 || FColumn >= FHeldLength)
        return 0;
    return FBuffer[static_cast<size_t>(FColumn)];
}

std::string TWinAPIControlParser::GetLine() {
    return EnsureLineCurrent() ? FBuffer : std::string();
}

bool TWinAPIControlParser::MoveNext() {
    ++FColumn;
    return EnsureLineCurrent();
}

bool TWinAPIControlParser::MovePrevious() {
    --FColumn;
    return EnsureLineCurrent();
}

void TWinAPIControlParser::SetPosition(int X, int Y, TPositionType Kind) {
    if (Kind == ptCurrent) {
        FReload = true;
        FColumn = X;
        FLine = Y;
    } else if (Kind == ptEnd) {
        FEndSet = true;
        FEndColumn = X;
        FEndLine = Y;
    }
}

void TWinAPIControlParser::GetPosition(int& X, int& Y) {
    X = FColumn;
    Y = FLine;
}

void TWinAPIControlParser::SelectWord(int Length) {
    FColumn -= Length;
    FSelStart = static_cast<int>(Send(EM_LINEINDEX, static_cast<WPARAM>(FLine))) + FColumn;
    FSelLength = Length;
    Send(EM_SETSEL, static_cast<WPARAM>(FSelStart), static_cast<LPARAM>(FSelStart + Length));
}

void TWinAPIControlParser::ReplaceWord(const std::string& Text, int) {
    Send(EM_SETSEL, static_cast<WPARAM>(FSelStart), static_cast<LPARAM>(FSelStart + FSelLength));
    if (FEndSet && FLine == FEndLine) {
        DWORD s = 0, e = 0;
        Send(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
        FEndColumn += static_cast<int>(Text.size()) - static_cast<int>(e - s);
    }
    Send(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(Text.c_str()));
    FColumn += static_cast<int>(Text.size());
    FReload = true;
}

void TWinAPIControlParser::IgnoreWord(int) {
    DWORD s = 0, e = 0;
    Send(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    FColumn += static_cast<int>(e - s);
}

int TWinAPIControlParser::LineHeight() const {
    HDC dc = GetDC(FControl);
    TEXTMETRICA tm{};
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(Send(WM_GETFONT)));
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(FControl, dc);
    return tm.tmHeight + tm.tmExternalLeading;
}

void TWinAPIControlParser::CenterSelection() {
    int h = LineHeight();
    RECT rc{};
    GetClientRect(FControl, &rc);
    if (h > 0) {
        int first = static_cast<int>(Send(EM_GETFIRSTVISIBLELINE));
        Send(EM_LINESCROLL, 0, FLine - (first + (rc.bottom - rc.top) / h / 2));
    }
    DWORD s = 0, e = 0;
    Send(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    Send(EM_SETSEL, s, s);
    Send(EM_SCROLLCARET);
    Send(EM_SETSEL, e, e);
    Send(EM_SCROLLCARET);
    Send(EM_SETSEL, s, e);
}

void TWinAPIControlParser::GetCursorPosition(int& X, int& Y) {
    int x2, y2;
    GetSelectionPosition(X, Y, x2, y2);
}

void TWinAPIControlParser::GetSelectionPosition(int& X1, int& Y1, int& X2, int& Y2) {
    DWORD s = 0, e = 0;
    Send(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    Y1 = static_cast<int>(Send(EM_LINEFROMCHAR, s));
    X1 = static_cast<int>(s) - static_cast<int>(Send(EM_LINEINDEX, static_cast<WPARAM>(Y1)));
    Y2 = static_cast<int>(Send(EM_LINEFROMCHAR, e));
    X2 = static_cast<int>(e) - static_cast<int>(Send(EM_LINEINDEX, static_cast<WPARAM>(Y2)));
}

void TWinAPIControlParser::GetControlScreenPosition(RECT& R) {
    POINT p{0, 0};
    ClientToScreen(FControl, &p);
    RECT wr{};
    GetWindowRect(FControl, &wr);
    R = RECT{p.x, p.y, p.x + (wr.right - wr.left), p.y + (wr.bottom - wr.top)};
}

void TWinAPIControlParser::Perform_EM_POSFROMCHAR(int CharIndex, POINT& Point) {
    Point = POINT{0, 0};
    if (FKind == 1) {
        Send(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&Point), CharIndex);
    } else {
        LRESULT r = Send(EM_POSFROMCHAR, static_cast<WPARAM>(CharIndex), 0);
        Point.x = static_cast<short>(LOWORD(r));
        Point.y = static_cast<short>(HIWORD(r));
    }
}

void TWinAPIControlParser::GetSelectionScreenPosition(RECT& R) {
    DWORD s = 0, e = 0;
    Send(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    POINT tl{}, br{};
    Perform_EM_POSFROMCHAR(static_cast<int>(s), tl);
    Perform_EM_POSFROMCHAR(static_cast<int>(e), br);
    br.y = tl.y;
    ClientToScreen(FControl, &tl);
    ClientToScreen(FControl, &br);
    R = RECT{tl.x, tl.y, br.x, tl.y + LineHeight()};
    int next = static_cast<int>(Send(EM_LINEINDEX, static_cast<WPARAM>(FLine + 1)));
    if (next != -1) {
        POINT np{};
        Perform_EM_POSFROMCHAR(next, np);
        ClientToScreen(FControl, &np);
        if (np.y > R.bottom)
            R.bottom = np.y;
    }
}
