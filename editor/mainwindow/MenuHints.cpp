// The status-bar hints of the main window's menu items: the File, Edit and View commands, every
// command of the Tags menu and the tag inserter's configuration items.
#include "editor/mainwindow/MenuHints.h"

#include <string>

#include "editor/mainwindow/MainCommands.h"

namespace {

const std::string RatingText =
    std::string("Content rating metainformation. Used to rate a document's content (see ") +
    ContentRatingSite + ").";
const char* const RatingHint = RatingText.c_str();

} // namespace

const std::vector<std::pair<const char*, const char*>>& MenuHints() {
    // clang-format off
    static const std::vector<std::pair<const char*, const char*>> Hints = {
        {"FileNew", "Open a new, blank document in the editor."},
        {"FileOpen", "Open an already existing document in the editor."},
        {"FileReload", "Reload only the current document."},
        {"FileSave", "Save only the current document."},
        {"FileSaveAs", "Save the current document to a new filename."},
        {"FileSaveAll", "Save all open documents that have changed."},
        {"FileClose", "Close only the current document."},
        {"FileCloseAll", "Close all open documents."},
        {"FilePrint", "Print only the current document."},
        {"FileExit", "Exit and shutdown Orvalent."},
        {"EditSelectAll", "Selects all the text in the current document."},
        {"EditUndoLastMajorChange", "Undo the last major change; usually a change by a tool."},
        {"ViewFullScreen", "Toggle full screen mode."},
        {"ViewResults", "Toggle whether the results window is visible."},
        {"ViewResource", "Toggle whether the resource window is visible."},
        {"ViewStatusBar", "Toggle whether the status bar is visible."},
        {"ViewSpeedBar", "Toggle whether the speed bar is visible."},
        {"ViewGutter", "Toggle whether the editor's gutter is visible. The gutter is most useful when using bookmarks."},
        {"ViewLineNumbers", "Toggle whether line numbers are shown in the editor."},
        {"ViewRightMargin", "Toggle whether the vertical line that shows the right margin is visible."},
        {"ViewNextDocument", "Go to the next document tab."},
        {"ViewPreviousDocument", "Go to the previous document tab."},
        {"TagsStartTag", "Start tag."},
        {"TagsEndTag", "Close/end tag."},
        {"TagsBold", "Render as bold text style."},
        {"TagsItalic", "Render as italic text style."},
        {"TagsUnderline", "Deprecated in HTML 4.01. Render underlined text."},
        {"TagsA", "Anchor."},
        {"TagsBlockquote", "Specify a long block-level quotation. Use \"q\" for a short inline quotation."},
        {"TagsBreak", "Forcibly break (end) the current line of text."},
        {"TagsBreakAndNewline", "Forcibly break (end) the current line of text."},
        {"TagsCenter", "Deprecated in HTML 4.01. Center text."},
        {"TagsComment", "Enclose comment text that is not rendered."},
        {"TagsHorizontalRule", "Horizontal rule."},
        {"TagsParagraph", "Start a new paragraph. Insert with optional end tag."},
        {"TagsFormsFORM", "Use to contain an interactive form. HTML 4.01 requires \"action\" attribute."},
        {"TagsFormsINPUT", "Specify a field (usually in a form), such as a textbox, checkbox, or radio button field."},
        {"TagsFormsOPTION", "Specify a selectable choice in a \"select\" tag. Insert with optional end tag."},
        {"TagsFormsSELECT", "Option selector. Must contain at least one \"option\" element."},
        {"TagsFormsTEXTAREA", "Multi-line text field."},
        {"TagsFramesFRAMESET", "Specify the layout of frames in the main user window in terms of rectangular subspaces."},
        {"TagsFramesFRAME", "Define the contents and appearance of a single frame in a frameset."},
        {"TagsFramesIFRAME", "Inline subwindow (floating frame)."},
        {"TagsFramesNOFRAMES", "Specify content to display when frames are not used or available."},
        {"TagsHeadingsH1", "Heading 1. Most important heading (largest heading font)."},
        {"TagsHeadingsH2", "Heading 2."},
        {"TagsHeadingsH3", "Heading 3."},
        {"TagsHeadingsH4", "Heading 4."},
        {"TagsHeadingsH5", "Heading 5."},
        {"TagsHeadingsH6", "Heading 6. Least important heading (smallest heading font)."},
        {"TagsListsOL", "Ordered (numbered) list."},
        {"TagsListsUL", "Unordered (bulleted) list."},
        {"TagsListsLI", "Specify a list item in a list. Insert with optional end tag."},
        {"TagsListsDD", "Definition description."},
        {"TagsListsDT", "Definition term."},
        {"TagsListsMENU", "Deprecated in HTML 4.01. You should use a &quot;ul&quot; list instead."},
        {"TagsMediaAPPLET", "Deprecated in HTML 4.01. Insert Java applet."},
        {"TagsMediaBGSOUND", "Play music or sound (Internet Explorer specific)."},
        {"TagsMediaEMBED", "Embed an object (not an HTML 4.01 element)."},
        {"TagsMediaIMG", "Embed an image."},
        {"TagsMediaOBJECT", "Insert a generic embedded object."},
        {"TagsMetaAuthor", "Author metainformation."},
        {"TagsMetaCopyright", "Copyright metainformation."},
        {"TagsMetaCSS1", "Specify the default style sheet language as text/css."},
        {"TagsMetaCSS2", "Specify the default style sheet language as text/css2."},
        {"TagsMetaDescription", "Description metainformation. Used by many search engines when indexing a site."},
        {"TagsMetaKeywords", "Keyword metainformation. Used by many search engines when indexing a site."},
        {"TagsMetaRSACiRating", RatingHint},
        {"TagsTablesTABLE", "Insert a table."},
        {"TagsTablesTR", "Specify a table row to contain table cells."},
        {"TagsTablesTH", "Table header cell. Usually rendered in bold with a center alignment."},
        {"TagsTablesTD", "Table data cell."},
        {"TagsTablesCAPTION", "Describe the nature of a table. Use immediately after the \"table\" start tag."},
        {"TagsTablesTHEAD", "Use to contain table header rows."},
        {"TagsTablesTBODY", "Use to contain table body rows."},
        {"TagsTablesTFOOT", "Use to contain table footer rows."},
        {"TagsTextACRONYM", "Indicate an acronym (e.g., WAC, radar, etc.)."},
        {"TagsTextBIG", "Render text in a \"big\" text style."},
        {"TagsTextBLINK", "Blink or flash text (Netscape specific)."},
        {"TagsTextCITE", "Specify a citation or a reference to other sources."},
        {"TagsTextCODE", "Specify a fragment of computer code."},
        {"TagsTextDEL", "Specify deleted text."},
        {"TagsTextDFN", "Indicate that this is the defining instance of the enclosed term."},
        {"TagsTextEM", "Indicate emphasis. Use \"strong\" to indicate stronger emphasis."},
        {"TagsTextINS", "Specify inserted text."},
        {"TagsTextKBD", "Specify text to be entered by the user."},
        {"TagsTextQ", "Specify a short inline quotation. Use \"blockquote\" for a long quotation."},
        {"TagsTextS", "Deprecated in HTML 4.01. Render strike-through style text (same as \"strike\")."},
        {"TagsTextSAMP", "Specify sample output from programs, scripts, etc."},
        {"TagsTextSMALL", "Render text in a \"small\" text style."},
        {"TagsTextSTRIKE", "Deprecated in HTML 4.01. Render strike-through style text (same as \"s\")."},
        {"TagsTextSTRONG", "Indicate stronger emphasis. Use \"em\" to indicate weaker emphasis."},
        {"TagsTextSUB", "Render text as subscript (smaller and slightly lowered)."},
        {"TagsTextTT", "Render as teletype or monospaced font. For example, use for computer output."},
        {"TagsTextVAR", "Specify an instance of a variable or program argument."},
        {"TagsTextSUP", "Render text as superscript (smaller and slightly raised)."},
        {"TagsTextFONT", "Deprecated in HTML 4.01. Change font."},
        {"OptionsTagInserterEdit", "Edit the configuration file to make your own changes to the Tag Inserter."},
        {"OptionsTagInserterReload", "Delete the Tag Inserter and recreate it to reread its configuration."},
    };
    // clang-format on
    return Hints;
}
