#include "controls/memo/HelpWriters.h"

#include <algorithm>
#include <cctype>

namespace {

std::string ShownSectionName(const std::string& Name) {
    std::string S = HelpShownName(Name);
    if (!S.empty() && S.back() == ',')
        S.pop_back();
    return S;
}

std::string Join(const std::vector<std::string>& Parts, char Sep) {
    std::string R;
    for (size_t I = 0; I < Parts.size(); ++I) {
        if (I)
            R += Sep;
        R += Parts[I];
    }
    return R;
}

void SitemapObject(THSHTMLExporter& W) {
    W.BeginTagEx("OBJECT", {"type"}, {"text/sitemap"});
}

void Param(THSHTMLExporter& W, const char* Name, const std::string& Value) {
    W.BeginTagEx("param", {"name", "value"}, {Name, Value});
}

} // namespace

std::string HelpShownName(const std::string& Name) {
    const size_t Dot = Name.rfind('.');
    return Dot == std::string::npos ? Name : Name.substr(Dot + 1);
}

THTMLContentWriter::THTMLContentWriter(TStream* Stream) : THSHTMLExporter(Stream) {
    StartDocument("Content");
}

THTMLContentWriter::~THTMLContentWriter() {
    // A destructor must not throw: a caller that wants write errors calls Flush itself.
    try {
        Flush();
    } catch (...) {
    }
    delete FStream;
}

void THTMLContentWriter::Flush() {
    if (FFlushed)
        return;
    FFlushed = true;
    FinishDocument();
}

void THTMLContentWriter::StartSection(const std::string& Name, const std::string& Topic) {
    StartBulletedList();
    StartBulletListItem();
    SitemapObject(*this);
    Param(*this, "Name", HelpShownName(Name));
    if (!Topic.empty())
        Param(*this, "Local", Topic + ".html");
    EndTag("OBJECT");
    FinishBulletListItem();
}

void THTMLContentWriter::FinishSection() {
    FinishBulletedList();
}

bool THTMLIndexWriter::TKeyLess::operator()(const std::string& A, const std::string& B) const {
    const size_t N = std::min(A.size(), B.size());
    for (size_t I = 0; I < N; ++I) {
        const int X = std::tolower(static_cast<unsigned char>(A[I]));
        const int Y = std::tolower(static_cast<unsigned char>(B[I]));
        if (X != Y)
            return X < Y;
    }
    if (A.size() != B.size())
        return A.size() < B.size();
    return A < B;
}

THTMLIndexWriter::THTMLIndexWriter(TStream* Stream) : THSHTMLExporter(Stream) {
    StartDocument("Index");
}

THTMLIndexWriter::~THTMLIndexWriter() {
    try {
        Flush();
    } catch (...) {
    }
    delete FStream;
}

void THTMLIndexWriter::StartSection(const std::string& Name, const std::string& Topic) {
    const std::string Shown = ShownSectionName(Name);
    FStack.push_back(Shown);
    if (!Shown.empty() && !Topic.empty())
        FKeys[Join(FStack, '.')].push_back(Shown + "!" + Topic + ".html");
}

void THTMLIndexWriter::FinishSection() {
    if (!FStack.empty())
        FStack.pop_back();
}

void THTMLIndexWriter::Flush() {
    if (FFlushed)
        return;
    FFlushed = true;
    int Level = 0;
    StartBulletedList();
    for (const auto& [Key, Entries] : FKeys) {
        int Depth = 0;
        for (char C : Key)
            Depth += C == '.';
        for (; Level < Depth; ++Level)
            StartBulletedList();
        for (; Level > Depth; --Level)
            FinishBulletedList();
        StartBulletListItem();
        SitemapObject(*this);
        Param(*this, "Name", HelpShownName(Key));
        for (const std::string& E : Entries) {
            const size_t Bang = E.find('!');
            Param(*this, "Name", E.substr(0, Bang));
            Param(*this, "Local", E.substr(Bang + 1));
        }
        EndTag("OBJECT");
        FinishBulletListItem();
    }
    for (; Level >= 0; --Level)
        FinishBulletedList();
    FinishDocument();
}

// --- RTF help --------------------------------------------------------------------------------------

void TRTFContentWriter::StartSection(const std::string& Name, const std::string& Topic) {
    ++FLevel;
    std::string Line = std::to_string(FLevel) + " " + Name;
    if (!Topic.empty())
        Line += "=" + Topic;
    FStream.WriteString(Line + "\r\n");
    FLists.AddContents(HelpShownName(Name) + "!" + Topic);
}

void TRTFContentWriter::FinishSection() {
    if (FLevel > 0)
        --FLevel;
}

void TRTFIndexWriter::StartSection(const std::string& Name, const std::string& Topic) {
    FLists.AddKeyword(Join(FStack, ',') + "!" + Topic);
    FStack.push_back(ShownSectionName(Name));
}

void TRTFIndexWriter::FinishSection() {
    if (!FStack.empty())
        FStack.pop_back();
}
