#pragma once
// The parser that colours text from a syntax scheme. Its colour byte is a font ID of the scheme,
// and the line state carries the chain of open blocks, so that a block opened on one line
// colours the following lines until it closes.

#include <cstdint>
#include <functional>
#include <string>

#include "controls/foundation/Broadcasts.h"
#include "controls/foundation/SimpleParser.h"
#include "controls/textmodel/SyntaxScheme.h"

class TSyntaxParser : public TSimpleParser, public IHSMessageHandler, public ISchemeOwner {
    ZEL_DECLARE_CLASS(TSyntaxParser)
public:
    explicit TSyntaxParser(TComponent* owner = nullptr);
    ~TSyntaxParser() override;

    // Token kinds, as OnGetToken reports them.
    enum TTokenKind : int32_t {
        tkText,
        tkSingleComment,
        tkMultiComment,
        tkDirective,
        tkFullComment,
        tkSingleString,
        tkMultiString,
        tkInteger,
        tkFloat,
        tkHex,
        tkIdentifier,
        tkKeyword,
        tkSymbol
    };
    using TGetTokenEvent = std::function<void(TSyntaxParser& sender, int32_t kind, const std::string& token)>;
    TGetTokenEvent OnGetToken;

    int32_t ColorString(const std::string& text, int32_t startState, std::string& colorData) override;
    TFont* GetFont(int32_t fontID) override;
    bool GetBackColor(int32_t fontID, uint32_t& color) override;

    TSyntaxScheme& SyntaxScheme() { return FScheme; }
    // Copies the given scheme and re-initialises.
    void SetSyntaxScheme(TSyntaxScheme* scheme);
    TAttrItem& DefaultAttr() override { return FDefaultAttr; }
    void SetDefaultAttr(TAttrItem* item);
    bool UseGlobalOptions() const { return FScheme.UseGlobalOptions; }
    void SetUseGlobalOptions(bool value);

    void InitParser() override;
    // The global editor options changed (CMUpdateOptions): a parser that follows them recolours.
    void HSDispatch(THSMessage& Message) override;
    // Rebuilds the attribute table and tells the listeners (sources recolour), unless held.
    void ParserChanged();
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    void SchemeWasInitialised() override;

    // Selects a chain: direction 0 selects chain `code`, 1 pushes the block and delimiter packed in
    // `code` (block index in bits 8-15, delimiter index in bits 0-7), -1 pops. Answers the chain
    // index, or -1 when a push was refused because the 256 chains a line state can name are used.
    int32_t SetCurBlock(int32_t code, int32_t direction);
    int32_t CurrentChain() const { return FChain; }
    const TSyntaxBlock* CurrentBlock() const;

private:
    struct TScan;
    bool CloseCheck(TScan& s);
    bool MatchAt(const std::string& text, int32_t pos, const std::string& token, bool caseSensitive) const;
    int32_t GetToken(TScan& s);
    int32_t FontFor(int32_t kind, int32_t entryFont) const;

    TSyntaxScheme FScheme;
    TAttrItem FDefaultAttr;
    int32_t FUpdateCount = 0;
    // Scanning state.
    int32_t FChain = 0;
    int32_t FBlock = 0;
    int32_t FDelimiter = -1;
    bool FPartOfBlock = false;
    bool FCaseFlag = false;
};

// The syntax block at a position of a line: the line is coloured from `startState` up to the
// column. Nil when the parser has no blocks.
const TSyntaxBlock* GetSyntaxBlockAt(TSyntaxParser& parser, const std::string& line, int32_t startState,
                                     int32_t column);
