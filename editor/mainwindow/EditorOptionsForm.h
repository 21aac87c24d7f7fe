#pragma once
// The editor options dialog: file types and their colouring, editing behaviour, font and colours,
// insertion in capitals and the showing of results. It edits a working copy of the editor options
// and of the two interface flag words, and writes them back only on OK.
#include <cstdint>
#include <map>
#include <string>

#include "editor/core/AppState.h"
#include "framework/ui/ComCtrls.h"
#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"

class TEditorOptionsForm : public TForm {
    ZEL_DECLARE_CLASS(TEditorOptionsForm)
public:
    explicit TEditorOptionsForm(TComponent* AOwner);

    // Which word a check box sets.
    enum TWord { OptionWord, InterfaceWord, InterfaceWord2 };
    struct TBox {
        const char* Name;
        const char* Sheet;
        const char* Caption;
        TWord Word;
        uint32_t Bit;
    };
    static const std::vector<TBox>& Boxes();
    // The document kinds of the no-extension combo box, in item order.
    static const std::vector<int32_t>& KindTable();

    void FormShow();
    void OKBtnClick();
    void HelpBtnClick();
    void ChangeFontBtnClick();
    // Which colour of the working copy a picker changes.
    void PickColor(int32_t& Target);
    void RefreshFontLabels();

    TCheckBox* Box(const std::string& Name) const;
    TEdit* Edit(const std::string& Name) const;

    prgconfigclass Work;
    uint32_t WorkFlags = 0, WorkFlags2 = 0;

    TPageControl* EditorOptionsPageControl = nullptr;
    std::map<std::string, TTabSheet*> Sheets;
    TComboBox* NoExtensionFileTypeComboBox = nullptr;
    TLabel* FontNameLabel = nullptr;
    TLabel* FontSizeLabel = nullptr;
    TLabel* FontExampleLabel = nullptr;
    TButton* OKBtn = nullptr;

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    uint32_t& WordOf(TWord Word);
    std::map<std::string, TCheckBox*> FBoxes;
    std::map<std::string, TEdit*> FEdits;
};
