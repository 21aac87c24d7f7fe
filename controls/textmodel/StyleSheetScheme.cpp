// The style-sheet scheme that the editor carries for cascading style sheets.

#include "controls/textmodel/SyntaxScheme.h"

namespace {

void AddLine(TLineTokenList& list, const std::string& left, int32_t font = -1) {
    TLineToken* t = list.AddItem();
    t->LeftDelimiter = left;
    t->FontID = font;
}

TBlockToken* AddPair(TBlockTokenList& list, const std::string& left, const std::string& right, int32_t font) {
    TBlockToken* t = list.AddItem();
    t->LeftDelimiter = left;
    t->RightDelimiter = right;
    t->FontID = font;
    return t;
}

} // namespace

void TSyntaxScheme::FillStyleSheetScheme(TSyntaxScheme& scheme) {
    TSyntaxScheme s;
    s.Name = "Cascading Style Sheets, level 2";
    s.SyntaxVersion = 3;

    TSyntaxBlock* d = s.SyntaxBlocks.GetItem(0);
    d->UseMetaSymbol = true;
    d->MetaSymbol = '\\';
    d->UseMetaToWrapLines = true;
    d->FIText = 16;
    d->FIIdentifier = 8;
    d->UseComments = d->UseMultiLineComments = true;
    AddPair(d->MultiLineCommentDelimiters, "/*", "*/", 17);
    AddPair(d->MultiLineCommentDelimiters, "<!--", "-->", 9);
    d->UseStrings = d->UseSingleLineStrings = true;
    AddPair(d->SingleLineStringDelimiters, "\"", "\"", 10);
    d->UsePrefixedIdentifiers = true;
    AddLine(d->IdentPrefixes, "@");

    TSyntaxBlock* st = s.SyntaxBlocks.AddItem();
    st->Name = "Style";
    st->ID = 1;
    st->ParentID = 0;
    TDelimiters* del = st->BlockDelimiters.AddItem();
    del->LeftDelimiter = "{";
    del->RightDelimiter = "}";
    del->DelimitersArePartOfBlock = true;
    st->UseMetaSymbol = true;
    st->MetaSymbol = '\\';
    st->UseMetaToWrapLines = false;
    st->FIText = 0;
    st->FIIntNum = 1;
    st->FIFloatNum = 2;
    st->FIHexNum = 3;
    st->UseComments = st->UseMultiLineComments = true;
    AddPair(st->MultiLineCommentDelimiters, "/*", "*/", 4);
    AddPair(st->MultiLineCommentDelimiters, "<!--", "-->", 12)->UseToken = false;
    st->UseStrings = st->UseSingleLineStrings = true;
    AddPair(st->SingleLineStringDelimiters, "\"", "\"", 5);
    AddPair(st->SingleLineStringDelimiters, "'", "'", 6);
    st->UseNumbers = st->UsePrefixedNumbers = st->UseSuffixedNumbers = true;
    AddLine(st->NumPrefixes, "#");
    for (const char* suffix :
         {"%", "em", "ex", "px", "in", "cm", "mm", "pt", "pc", "deg", "grad", "rad", "ms", "s", "Hz", "kHz"})
        AddLine(st->NumSuffixes, suffix);
    st->UseKeywords = true;
    TKeywordSet* k = st->KeywordSets.AddItem();
    k->Name = "properties";
    k->FontID = 7;
    k->Keywords = "3dlight,adjust,align,arrow,attachment,auto,autospace,azimuth,background,base,border,"
                  "bottom,break,char,clear,"
                  "color,cursor,darkshadow,decoration,display,face,family,float,flow,font,grid,height,"
                  "highlight,image,ime,indent,"
                  "justify,kashida,layout,left,letter,line,list,margin,marks,mode,overflow,padding,position,"
                  "repeat,right,"
                  "scrollbar,shadow,size,space,spacing,style,text,through,top,transform,type,underline,"
                  "variant,vertical,weight,"
                  "white,width,word,x,y,zoom";

    const struct {
        int32_t id;
        TColor color;
        bool italic;
        int32_t block;
    } fonts[] = {{0, clBlack, false, 1},  {1, clGreen, false, 1},   {2, clGreen, false, 1},
                 {3, clGreen, false, 1},  {4, clGray, true, 1},     {5, clMaroon, false, 1},
                 {6, clMaroon, false, 1}, {7, clBlue, false, 1},    {8, clGreen, false, 0},
                 {9, clRed, false, 0},    {10, clMaroon, false, 0}, {12, clGray, true, 1},
                 {16, clBlack, false, 0}, {17, clGray, true, 0}};
    for (const auto& f : fonts) {
        TAttrItem* a = s.FontTable.AddItem();
        a->FontID = f.id;
        a->BlockID = f.block;
        a->Font.SetName("MS Sans Serif");
        a->Font.SetHeight(-13);
        a->Font.SetColor(f.color);
        if (f.italic)
            a->Font.SetStyle(fsItalic);
    }
    scheme.ClearContents();
    scheme.Assign(&s);
}
