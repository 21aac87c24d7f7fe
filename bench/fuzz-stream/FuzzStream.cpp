// Feeds mutated component streams to the binary reader and reports crashes, exceptions other
// than the reader's own errors, and wrong round trips: whatever the reader accepts must come
// back unchanged through the writer, the text form and the reader again.
//
//   fuzz_stream <case folder> [seconds] [seed]
//   fuzz_stream --replay <case file>...
//   fuzz_stream --show <case file>
//
// The seeds are real streams of the program: the style-sheet scheme the editor carries, an empty
// scheme, a property store's stream of chosen properties, and a form as the component filer
// stores it with its events. The filer reads every case on past what it cannot read. Every failure is cut
// down to a small case and written into the case folder; --replay runs kept cases again (0 when all pass).
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <typeinfo>
#include <string>
#include <vector>

#include "bench/FuzzFiles.h"
#include "controls/foundation/CompFiler.h"
#include "controls/foundation/PropStore.h"
#include "controls/foundation/PropertyStreams.h"
#include "controls/textmodel/SyntaxScheme.h"
#include "framework/core/Exceptions.h"
#include "framework/core/ObjectText.h"
#include "framework/core/Streams.h"

namespace {

class TFuzzItem : public TComponent {
    ZEL_DECLARE_CLASS(TFuzzItem)
public:
    explicit TFuzzItem(TComponent* owner = nullptr) : TComponent(owner) {}
    int32_t Count = 0;
    std::string Title;
    bool Flag = false;
    int32_t GetCount() const { return Count; }
    void SetCount(int32_t v) { Count = v; }
    std::string GetTitle() const { return Title; }
    void SetTitle(const std::string& v) { Title = v; }
    bool GetFlag() const { return Flag; }
    void SetFlag(bool v) { Flag = v; }
};
ZEL_DEFINE_CLASS(TFuzzItem, TComponent,
                 {Prop::Int<TFuzzItem>("Count", &TFuzzItem::GetCount, &TFuzzItem::SetCount).WithDefault(0),
                  Prop::String<TFuzzItem>("Title", &TFuzzItem::GetTitle, &TFuzzItem::SetTitle),
                  Prop::Bool<TFuzzItem>("Flag", &TFuzzItem::GetFlag, &TFuzzItem::SetFlag).WithDefault(0),
                  Prop::Method("OnChange")})

// A form with one component and a store of two of its properties and one of the form's.
struct TStoreForm {
    TFuzzItem Owner;
    TFuzzItem* Edit;
    THSPropStore* Store;
    TStoreForm() {
        Owner.SetName("Form1");
        Edit = new TFuzzItem(&Owner);
        Edit->SetName("Edit1");
        Store = new THSPropStore(&Owner);
        Store->SetName("Store");
        Store->SetIgnoreErrors(false);
        Store->PropList()->SetText("Edit1.Count\nEdit1.Title\nFlag\n");
    }
    std::string Saved() {
        TMemoryStream m;
        Store->SaveToStream(m);
        return std::string(m.Memory(), size_t(m.Size()));
    }
};

std::vector<std::string> seeds() {
    std::vector<std::string> out;
    TSyntaxScheme scheme;
    TSyntaxScheme::FillStyleSheetScheme(scheme);
    out.push_back(ObjectToBinary(&scheme));
    TSyntaxScheme empty;
    out.push_back(ObjectToBinary(&empty));
    TStoreForm form;
    form.Edit->Count = 300;
    form.Edit->Title = "a title";
    form.Owner.Flag = true;
    out.push_back(form.Saved());
    TCompFiler filer;
    filer.SetEvent(&form.Owner, "OnChange", "Form1Change");
    filer.SetEvent(form.Edit, "OnChange", "Edit1Change");
    TMemoryStream filed;
    filer.SaveToStream(filed, &form.Owner);
    out.push_back(std::string(filed.Memory(), size_t(filed.Size())));
    return out;
}

// False when the reader refused the input with one of the errors a reader may raise; any other
// exception goes on to the fuzzer as a finding.
template <class F> bool Reads(F&& Read) {
    try {
        Read();
        return true;
    } catch (const EReadError&) {
    } catch (const EParserError&) {
    } catch (const EConvertError&) {
    } catch (const EPropertyError&) {
    }
    return false;
}

// The filer as the form-file converter uses it: every unreadable part skipped.
std::string Filed(const std::string& data, bool& read) {
    ReaderErrorHandler = [](const std::string&, bool& handled, bool&) { handled = true; };
    TCompFiler filer;
    TFuzzItem root;
    TStringStream in(data);
    const TCompFormat format = TCompFiler::FormatOfStream(in);
    read = Reads([&] { filer.LoadFromStream(in, &root); });
    ReaderErrorHandler = nullptr;
    if (!read)
        return "";
    TMemoryStream out;
    filer.SaveToStream(out, &root, format);
    return std::string(out.Memory(), size_t(out.Size()));
}

// Empty when the case passes, else what went wrong.
std::string check(const std::string& data) {
    try {
        // The tree alone: binary -> text -> binary must be stable.
        std::string text;
        try {
            text = ObjectBinaryToText(data);
        } catch (const EReadError&) {
            text.clear();
        }
        if (!text.empty()) {
            const std::string binary = ObjectTextToBinary(text);
            if (ObjectBinaryToText(binary) != text)
                return "text form does not come back";
            if (ObjectTextToBinary(ObjectBinaryToText(binary)) != binary)
                return "binary form does not come back";
        }
        // Into a real object: what it accepts must write and read back to the same bytes.
        TSyntaxScheme scheme;
        const bool loaded = Reads([&] { ObjectFromBinary(data, &scheme); });
        // A scheme that stores version 0 reads back as version 1 (the property's stored default
        // and the constructor's value differ, a known fault of the scheme), so those are left out.
        if (loaded && scheme.GetSyntaxVersion() != 0) {
            const std::string written = ObjectToBinary(&scheme);
            TSyntaxScheme again;
            ObjectFromBinary(written, &again);
            if (ObjectToBinary(&again) != written)
                return "object does not come back";
        }
        // A property store reads a stream whole or refuses it; what it read, it writes again, and
        // that writes the same bytes after another round.
        {
            TStoreForm first;
            TStringStream in(data);
            if (Reads([&] { first.Store->LoadFromStream(in); })) {
                const std::string written = first.Saved();
                TStoreForm second;
                TStringStream again(written);
                second.Store->LoadFromStream(again);
                if (second.Saved() != written)
                    return "property store does not come back";
            }
        }
        // The filer reads on past what it cannot read; what it read writes the same bytes after
        // another round.
        {
            bool read = false;
            const std::string written = Filed(data, read);
            if (read) {
                bool again = false;
                if (Filed(written, again) != written || !again)
                    return "filed form does not come back";
            }
        }
        // The recognisers never move the stream.
        TStringStream stream(data);
        IsTextStream(stream);
        GetClassNameFromStream(stream);
        SmartSkipResHeader(stream, true);
        if (stream.Position() != 0)
            return "a recogniser moved the stream";
        return "";
    } catch (const Exception& e) {
        return std::string("unexpected exception: ") + typeid(e).name() + ": " + e.Message();
    } catch (const std::exception& e) {
        return std::string("std exception: ") + e.what();
    } catch (...) {
        return "unknown exception";
    }
}

std::string mutate(std::string s, std::mt19937& rng) {
    auto pick = [&](size_t n) { return n == 0 ? size_t(0) : size_t(rng() % n); };
    const int rounds = 1 + int(rng() % 4);
    for (int r = 0; r < rounds; ++r) {
        switch (rng() % 6) {
        case 0: // flip a byte
            if (!s.empty())
                s[pick(s.size())] = char(rng());
            break;
        case 1: // a small or boundary value at a random place
            if (!s.empty()) {
                static const unsigned char vals[] = {0,  1,  2,  4,  6,    7,    10,  11,
                                                     12, 14, 19, 20, 0x7F, 0x80, 0xFF};
                s[pick(s.size())] = char(vals[pick(sizeof vals)]);
            }
            break;
        case 2: // cut
            s.resize(pick(s.size() + 1));
            break;
        case 3: { // remove a range
            size_t a = pick(s.size() + 1), n = pick(16);
            s.erase(a, n);
            break;
        }
        case 4: { // duplicate a range
            size_t a = pick(s.size() + 1), n = pick(64);
            s.insert(a, s.substr(a, n));
            break;
        }
        default: // insert random bytes
            for (int i = 0, n = 1 + int(rng() % 8); i < n; ++i)
                s.insert(pick(s.size() + 1), 1, char(rng()));
        }
    }
    return s;
}

// The kind of a failure without the details that change as the case shrinks (line numbers).
std::string kind(const std::string& failure) {
    return failure.substr(0, failure.find(" on line"));
}

// Cuts a failing case down while it keeps failing the same way.
std::string shrink(std::string data, const std::string& failure) {
    for (size_t chunk = data.size() / 2; chunk >= 1; chunk /= 2) {
        for (size_t at = 0; at + chunk <= data.size();) {
            std::string smaller = data.substr(0, at) + data.substr(at + chunk);
            if (kind(check(smaller)) == kind(failure))
                data = smaller;
            else
                at += chunk;
        }
    }
    return data;
}

std::string gCaseFolder;
std::string gCurrent;

LONG WINAPI onCrash(EXCEPTION_POINTERS*) {
    writeFile(gCaseFolder + "\\crash.bin", gCurrent);
    std::fprintf(stderr, "crash: case written to %s\\crash.bin\n", gCaseFolder.c_str());
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

int main(int argc, char** argv) {
    RegisterClass(TSyntaxScheme::StaticClass());
    RegisterClass(TFuzzItem::StaticClass());
    if (argc == 3 && std::string(argv[1]) == "--show") {
        // What the reader made of a case, and what the second reading made of the writer's bytes.
        const std::string data = readFile(argv[2]);
        TSyntaxScheme first;
        ObjectFromBinary(data, &first);
        const std::string written = ObjectToBinary(&first);
        TSyntaxScheme second;
        ObjectFromBinary(written, &second);
        std::printf("%s\n----\n%s", ObjectBinaryToText(written).c_str(), ObjectToText(&second).c_str());
        return 0;
    }
    if (argc >= 2 && std::string(argv[1]) == "--replay")
        return replayKeptCases(argc, argv, 2, [](const std::string& name) { return check(readFile(name)); });
    if (argc < 2) {
        std::fprintf(stderr, "usage: fuzz_stream <case folder> [seconds] [seed]\n");
        return 2;
    }
    gCaseFolder = argv[1];
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 60;
    std::mt19937 rng(argc > 3 ? unsigned(std::atoi(argv[3])) : 1u);
    SetUnhandledExceptionFilter(onCrash);
    const std::vector<std::string> corpus = seeds();
    for (const std::string& s : corpus)
        if (!check(s).empty()) {
            std::printf("a seed fails: %s\n", check(s).c_str());
            return 1;
        }
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    long runs = 0, found = 0;
    while (std::chrono::steady_clock::now() < end) {
        gCurrent = mutate(corpus[rng() % corpus.size()], rng);
        const std::string failure = check(gCurrent);
        ++runs;
        if (failure.empty())
            continue;
        const std::string small = shrink(gCurrent, failure);
        const std::string name = gCaseFolder + "\\case" + std::to_string(++found) + ".bin";
        writeFile(name, small);
        std::printf("%s (%zu bytes): %s\n", name.c_str(), small.size(), failure.c_str());
        if (found >= 20)
            break;
    }
    std::printf("%ld runs, %ld failures\n", runs, found);
    return found == 0 ? 0 : 1;
}
