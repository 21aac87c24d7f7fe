#include "controls/foundation/HSResStrings.h"

#include "framework/core/Win.h"

std::string LoadResString(const TResStringRec& Rec) {
    std::string Buffer(256, '\0');
    for (;;) {
        int Len = LoadStringA(GetModuleHandleA(nullptr), Rec.Identifier, Buffer.data(),
                              static_cast<int>(Buffer.size()));
        if (Len <= 0)
            return std::string();
        // A text that fills the buffer may have been cut: try a bigger one.
        if (Len < static_cast<int>(Buffer.size()) - 1) {
            Buffer.resize(static_cast<size_t>(Len));
            return Buffer;
        }
        Buffer.resize(Buffer.size() * 4);
    }
}
