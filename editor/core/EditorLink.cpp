#include "editor/core/EditorLink.h"

TEditorLink& EditorLink() {
    static TEditorLink link;
    return link;
}
