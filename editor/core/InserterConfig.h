#pragma once
// The snippets of the tag and style-sheet inserters: their text file ("taginsertercfg.txt",
// "cssinsertercfg.txt"), one element a line, read into tag items; and the default files of the
// inserter records. The inserter windows and their menus belong to the window layer.

#include "editor/core/AppState.h"
#include "engine/utils/StrStore.h"
#include "framework/core/Object.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Flag values of a tag item.
constexpr int32_t TagItemInsertAround = 2;
constexpr int32_t TagItemSeparator = 4;
constexpr int32_t TagItemAroundOnly = 0x10; // implies TagItemInsertAround

struct TagItem {
    StrStore caption;
    StrStore menu; // the submenu that holds the item
    StrStore insertText;
    StrStore hint;
    int32_t flags = 0;
    int32_t command = 0;
};

struct TagItemList {
    std::vector<std::unique_ptr<TagItem>> items;
    int32_t version = 0;   // the root element's "version" (read, not used)
    bool upToDate = false; // true only after a whole file was read
};

// Inserter kinds: the same value is the inserter's visibility bit in the interface flag word.
constexpr uint32_t InserterKindTag = 0x400000;
constexpr uint32_t InserterKindCSS = 0x4000000;

constexpr const char* TagInserterFileName = "taginsertercfg.txt";
constexpr const char* CSSInserterFileName = "cssinsertercfg.txt";

// Result codes of ReadInserterFile.
enum InserterReadResult : int32_t {
    InserterReadOk = 0,
    InserterReadNoList = -1,
    InserterReadNoFile = -2,
    InserterReadNoRoot = -3,
    InserterReadNoEnd = -4,
    InserterReadBadAttribute = -6,
    InserterReadBadLine = -7,
};

// Reads the file into the list (emptied first). Items read before an error stay; flag 1 normalises
// each item as NormaliseItem does.
int32_t ReadInserterFile(TagItemList* list, const std::string& fileName, int32_t flags);
// The same from text already in memory.
int32_t ReadInserterText(TagItemList* list, const std::string& text, int32_t flags);
// With flag 1: a separator's caption becomes "-"; an empty caption the insert text without tab,
// carriage-return and backspace characters; an empty hint (not of separators) the caption without "|".
void NormaliseItem(TagItem* item, int32_t flags);
// Decodes character references (&amp; &lt; &gt; &quot; &apos; &nbsp; &#n; &#xh;) into bytes;
// a reference it cannot decode stays as written.
std::string DecodeCharacterReferences(const std::string& text);

// With flag 1, the inserter record of the kind in the list, else null.
inserterclass* FindInserter(const PointerArrayManager& list, uint32_t kind, int32_t flags);

class TComponent;
class TMenuItem;
// Empties the parent item, then gives each snippet a menu item (its tag the TagItem, its click
// the handler) in the submenu named by the snippet's menu text (exact comparison), made on first
// use in file order. Menu items are owned by owner. 0; -1 without a parent or list; -2 when an
// item could not be made.
int32_t BuildInserterMenu(TComponent* owner, TMenuItem* parent, const TagItemList* list,
                          const TNotifyEvent& onClick, int32_t flags);
