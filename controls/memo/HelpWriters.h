#pragma once
// Writers of the contents and index files of a help project, fed one section at a time by whoever
// walks the tree of topics: HTML sitemap contents and sitemap index.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "controls/memo/HtmlExporter.h"

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
