#pragma once
// Ready-made ignore rules: markup, addresses, quoted lines, capitalised words, words with digits
// and abbreviations.

#include <string>

#include "spell/ParserInterfaces.h"

class TParserIgnoreBase : public TParserIgnore {
public:
    bool NeededBeforeCheck() override { return false; }
    bool LineCheckNeeded() override { return false; }
    bool ExecuteIgnore(char, TControlParser*) override { return false; }
    bool ExecuteWordIgnorePreCheck(const std::string&, TControlParser*) override { return false; }
    bool ExecuteWordIgnorePostCheck(const std::string&, TControlParser*) override { return false; }
    bool ExecuteLineIgnore(const std::string&) override { return false; }
};

// Skips tags, comments and server blocks; accepts character references.
class THTMLIgnore : public TParserIgnoreBase {
public:
    bool NeededBeforeCheck() override { return true; }
    bool ExecuteIgnore(char C, TControlParser* Parser) override;
    bool ExecuteWordIgnorePostCheck(const std::string& Word, TControlParser* Parser) override;
};

// Skips web addresses and e-mail addresses.
class TURLIgnore : public TParserIgnoreBase {
public:
    bool NeededBeforeCheck() override { return true; }
    bool ExecuteWordIgnorePreCheck(const std::string& Word, TControlParser* Parser) override;
    bool ExecuteWordIgnorePostCheck(const std::string& Word, TControlParser* Parser) override;
};

class TQuotedLineIgnore : public TParserIgnoreBase {
public:
    bool LineCheckNeeded() override { return true; }
    bool ExecuteWordIgnorePostCheck(const std::string& Word, TControlParser* Parser) override;
    bool ExecuteLineIgnore(const std::string& Line) override;
    std::string QuoteChars;
};

class TUppercaseWordIgnore : public TParserIgnoreBase {
public:
    bool ExecuteWordIgnorePostCheck(const std::string& Word, TControlParser* Parser) override;
};

class TNumbersIgnore : public TParserIgnoreBase {
public:
    bool ExecuteWordIgnorePostCheck(const std::string& Word, TControlParser* Parser) override;
};

class TAbbreviationsIgnore : public TParserIgnoreBase {
public:
    bool ExecuteWordIgnorePostCheck(const std::string& Word, TControlParser* Parser) override;
};
