#pragma once
// Writers of the contents and index files of a help project, fed one section at a time by whoever
// walks the tree of topics: HTML sitemap contents and sitemap index, and for RTF help a contents
// file and keyword lists.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "controls/memo/HtmlExporter.h"
#include "controls/memo/RtfExporter.h"

enum THSSectionKind : uint8_t {
    skTitle,
    skClassesGroup,
    skInterfacesGroup,
    skTypesGroup,
    skProceduresGroup,
    skUnitsGroup,
    skUnitHeader,
    skAuxiliaryGroup,
    skIndex,
    skClass,
    skInterface,
    skType,
    skProcedure,
    skVariable,
    skUnit,
    skMethod,
    skProperty,
    skEvent,
    skCategorySectionClass,
    skCategoryGroupSectionIntf,
    skCategoryGroupSectionType,
    skCategoryGroupSectionProc,
    skCategoryGroupSectionVar,
    skSubCategorySection,
    skDefCategorySection,
    skUserDefinedGroup,
    skUserDefinedNode,
    skVariableGroup,
};

class IHSSectionWriter {
public:
    virtual ~IHSSectionWriter() = default;
    // Topic may be empty: a section that only groups others.
    virtual void StartSection(const std::string& Name, const std::string& Topic) = 0;
    virtual void FinishSection() = 0;
};

class IHSSectionWriterEx : public IHSSectionWriter {
public:
    // The writers here file every kind alike.
    virtual void StartSectionEx(const std::string& Name, const std::string& Topic, THSSectionKind Kind) {
        (void)Kind;
        StartSection(Name, Topic);
    }
};

// The part of a dotted section name that is shown: what follows the last ".".
std::string HelpShownName(const std::string& Name);

// Sitemap contents: nested bulleted lists, one item per section. Takes the stream and frees it.
class THTMLContentWriter : public THSHTMLExporter, public IHSSectionWriterEx {
public:
    explicit THTMLContentWriter(TStream* Stream);
    ~THTMLContentWriter() override;
    void StartSection(const std::string& Name, const std::string& Topic) override;
    void FinishSection() override;
    // Finishes the document; later calls do nothing. The destructor calls it when nobody did.
    void Flush();

private:
    bool FFlushed = false;
};

// Sitemap index: keyword paths (the open sections' shown names joined by ".") in sorted order,
// each with the topics filed under it. Written on Flush. Takes the stream and frees it.
class THTMLIndexWriter : public THSHTMLExporter, public IHSSectionWriterEx {
public:
    explicit THTMLIndexWriter(TStream* Stream);
    ~THTMLIndexWriter() override;
    void StartSection(const std::string& Name, const std::string& Topic) override;
    void FinishSection() override;
    void Flush();

private:
    struct TKeyLess {
        bool operator()(const std::string& A, const std::string& B) const;
    };
    std::vector<std::string> FStack;
    std::map<std::string, std::vector<std::string>, TKeyLess> FKeys;
    bool FFlushed = false;
};

// RTF help contents: one line per section, "level name" or "level name=topic", CR LF after each;
// the shown name and topic also go into the RTF writer's contents list. The stream and the writer
// stay the caller's.
class TRTFContentWriter : public IHSSectionWriterEx {
public:
    TRTFContentWriter(TStream& Stream, THSRTFExporter& Writer)
        : FStream(Stream), FLists(Writer.WriterList().HelpLists) {}
    void StartSection(const std::string& Name, const std::string& Topic) override;
    void FinishSection() override;
    int32_t Level() const { return FLevel; }

private:
    TStream& FStream;
    THSRtfHelpLists& FLists;
    int32_t FLevel = 0;
};

// RTF help keywords: each section files the path of the open sections (their shown names joined
// by ",") with its topic in the RTF writer's keyword list, which the writer's topic footnotes read.
// Writes nothing itself.
class TRTFIndexWriter : public IHSSectionWriterEx {
public:
    explicit TRTFIndexWriter(THSRTFExporter& Writer) : FLists(Writer.WriterList().HelpLists) {}
    void StartSection(const std::string& Name, const std::string& Topic) override;
    void FinishSection() override;
    void Flush() {}

private:
    THSRtfHelpLists& FLists;
    std::vector<std::string> FStack;
};
