// Objects to the shared tree: the stored published properties that differ from their defaults.
#include <cstring>
#include <memory>
#include <vector>

#include "framework/core/Collection.h"
#include "framework/core/Component.h"
#include "framework/core/ObjectText.h"
#include "framework/core/ObjectTree.h"
#include "framework/core/Streams.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"

namespace objecttree {
namespace {

class TreeBuilder {
public:
    explicit TreeBuilder(const TFilerHooks* hooks) : FHooks(hooks) {}

    TextObject Build(TPersistent* obj) {
        FRoot = obj;
        TextObject tree = BuildObject(obj);
        if (FHooks && !FHooks->RootClassName.empty())
            tree.ClassName = FHooks->RootClassName;
        return tree;
    }

private:
    TextObject BuildObject(TPersistent* obj) {
        TextObject node;
        if (auto* c = dynamic_cast<TComponent*>(obj))
            node.Name = c->Name();
        node.ClassName = obj->ClassName();
        AddProperties(node.Props, obj, "");
        if (auto* c = dynamic_cast<TComponent*>(obj))
            for (int i = 0; i < c->ComponentCount(); ++i) {
                TComponent* child = c->Components(i);
                if (!child->Name().empty())
                    node.Children.push_back(BuildObject(child));
            }
        return node;
    }

    static void Add(std::vector<TextProp>& props, const std::string& name, TextValue value) {
        TextProp p;
        p.Name = name;
        p.Value = std::move(value);
        props.push_back(std::move(p));
    }

    static TextValue Simple(TextValue::Kind k, const std::string& s = "") {
        TextValue v;
        v.K = k;
        v.S = s;
        return v;
    }

    void AddProperties(std::vector<TextProp>& props, TObject* obj, const std::string& prefix) {
        for (const TPropInfo* p : GetPropList(obj)) {
            if (p->Kind == tkMethod) {
                AddEvent(props, obj, *p, prefix);
                continue;
            }
            if (p->Kind == tkUnknown)
                continue;
            if (!IsStoredProp(obj, p))
                continue;
            std::string name = prefix + p->Name;
            if (p->Kind == tkClass) {
                AddObjectProp(props, GetObjectProp(obj, p), name);
                continue;
            }
            if (p->IsReadOnly())
                continue;
            if (p->IsOrdinal()) {
                int64_t v = GetOrdProp(obj, p);
                if (p->HasDefault && v == p->Default)
                    continue;
                TextValue tv;
                switch (p->Kind) {
                case tkChar:
                    tv = Simple(TextValue::vString, std::string(1, static_cast<char>(v)));
                    break;
                case tkSet:
                    tv.K = TextValue::vSet;
                    for (int i = 0; i < 64; ++i)
                        if (static_cast<uint64_t>(v) & (uint64_t{1} << i)) {
                            std::string n = p->EnumType ? p->EnumType->NameOf(i) : "";
                            tv.Names.push_back(n.empty() ? IntToStr(i) : n);
                        }
                    break;
                case tkInteger:
                case tkInt64: {
                    std::string ident;
                    if (p->Kind == tkInteger && p->Idents &&
                        p->Idents->IntToIdent(static_cast<int32_t>(v), ident)) {
                        tv = Simple(TextValue::vIdent, ident);
                    } else {
                        tv.K = TextValue::vInt;
                        tv.I = p->Kind == tkInteger ? static_cast<int32_t>(v) : v;
                    }
                    break;
                }
                default:
                    tv = Simple(TextValue::vIdent, GetPropValueText(obj, p));
                    break;
                }
                Add(props, name, std::move(tv));
            } else if (p->Kind == tkFloat) {
                double v = GetFloatProp(obj, p);
                if (v == 0.0)
                    continue;
                TextValue tv;
                tv.K = TextValue::vFloat;
                tv.F = v;
                Add(props, name, std::move(tv));
            } else if (p->Kind == tkString || p->Kind == tkBinary) {
                std::string v = GetStrProp(obj, p);
                if (v.empty())
                    continue;
                Add(props, name, Simple(p->Kind == tkString ? TextValue::vString : TextValue::vBinary, v));
            }
        }
    }

    // Only a filer knows what handler an event is bound to; a component's own events are asked.
    void AddEvent(std::vector<TextProp>& props, TObject* obj, const TPropInfo& event,
                  const std::string& prefix) {
        auto* comp = dynamic_cast<TComponent*>(obj);
        if (!FHooks || !FHooks->EventName || !comp || !prefix.empty())
            return;
        std::string handler = FHooks->EventName(comp, event);
        if (!handler.empty())
            Add(props, event.Name, Simple(TextValue::vIdent, handler));
    }

    // The name a reference is written with: bare inside the root, else after its owner's name.
    std::string ReferenceName(TComponent* comp) const {
        for (TComponent* o = comp->Owner(); o; o = o->Owner())
            if (o == FRoot)
                return comp->Name();
        TComponent* owner = comp->Owner();
        return owner && !owner->Name().empty() ? owner->Name() + "." + comp->Name() : comp->Name();
    }

    void AddObjectProp(std::vector<TextProp>& props, TObject* value, const std::string& name) {
        if (!value)
            return;
        if (auto* coll = dynamic_cast<TCollection*>(value)) {
            TextValue tv;
            tv.K = TextValue::vCollection;
            for (int i = 0; i < coll->Count(); ++i) {
                TextItem item;
                AddProperties(item.Props, coll->Items(i), "");
                tv.Items.push_back(std::move(item));
            }
            Add(props, name, std::move(tv));
            return;
        }
        if (auto* list = dynamic_cast<TStrings*>(value)) {
            if (list->Count() == 0)
                return;
            TextValue tv;
            tv.K = TextValue::vList;
            for (int i = 0; i < list->Count(); ++i)
                tv.List.push_back(Simple(TextValue::vString, list->Get(i)));
            Add(props, name + ".Strings", std::move(tv));
            return;
        }
        if (auto* comp = dynamic_cast<TComponent*>(value)) {
            // Components are referred to by name.
            if (!comp->Name().empty() && comp != FRoot)
                Add(props, name, Simple(TextValue::vIdent, ReferenceName(comp)));
            return;
        }
        AddProperties(props, value, name + ".");
    }

    const TFilerHooks* FHooks;
    TPersistent* FRoot = nullptr;
};

} // namespace

TextObject BuildTree(TPersistent* Root, const TFilerHooks* Hooks) {
    return TreeBuilder(Hooks).Build(Root);
}

} // namespace objecttree
