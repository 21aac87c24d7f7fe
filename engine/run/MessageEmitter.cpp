#include "engine/run/MessageEmitter.h"

#include <memory>

#include "engine/config/CfgLanguage.h"
#include "engine/run/MessageIds.h"

namespace zel::run {

namespace {

constexpr size_t kMaxFreeText = 4096;

const char* orEmpty(const char* s) {
    return s ? s : "";
}

} // namespace

int32_t MessageEmitter::nextRunningNumber(int32_t kind) const {
    if (!store)
        return 1;
    if (isErrorKind(kind))
        return store->errorCount() + 1;
    if (isWarningKind(kind))
        return store->warningCount() + 1;
    if (kind == KindMessage)
        return store->messageCount() + 1;
    return store->commentCount() + 1;
}

void MessageEmitter::place(SingleMsgStore& record, int32_t kind, const MsgLocation* location) const {
    record.kind = kind;
    record.runningNumber = nextRunningNumber(kind);
    switch (kind) {
    case KindErrorTagLine:
        record.location = MsgLocation{};
        record.location.line = tagStartLocation.line;
        break;
    case KindWarningTagStart:
    case KindMessage:
        record.location = tagStartLocation;
        break;
    default:
        record.location = location ? *location : pieceLocation;
        break;
    }
}

int MessageEmitter::addMessage(int32_t id, const MsgLocation* location, const char* arg1, const char* arg2,
                               int32_t number) {
    const std::string a1 = orEmpty(arg1);
    if ((id == msg::ElementClosingRuleConflict || id == msg::UndefinedCategory ||
         id == msg::ElementIgnoreRuleConflict || id == msg::EntityUndefinedCategory) &&
        !a1.empty() && store && store->hasWarningWithArgument(id, a1))
        return 0;

    auto record = std::make_unique<SingleMsgStore>();
    record->argument = a1;
    const std::string a2 = orEmpty(arg2);
    const CatalogueEntry* entry = findCatalogueEntry(id);
    int result = 1;
    std::string text;
    int32_t kind = KindErrorAt;
    if (!entry) {
        const bool warningRange = id >= 100 && id < 200; // the numbering of warnings
        text = formatText(warningRange ? kNoCaseWarningText : kNoCaseErrorText, {id});
        kind = warningRange ? KindWarningAt : KindErrorAt;
        result = 0;
    } else {
        kind = entry->kind;
        if (entry->hint1)
            addHint(entry->hint1);
        if (entry->hint2)
            addHint(entry->hint2);
        // Past a limit the record is only counted: its text would be made for nothing, once for
        // every one of what may be millions of them.
        if (store && store->dropsAtLimit(kind, id)) {
            record->kind = kind;
            record->id = id;
            current = nullptr;
            store->add(std::move(record));
            return result;
        }
        switch (id) {
        case msg::EndOfDocumentInTag:
            text = (options && options->validator(vf::StrictComments)) ? entry->text
                                                                       : kEndOfDocumentNoCommentText;
            break;
        case msg::TooManyAttributes:
            text = formatText(entry->text, {number});
            break;
        case msg::NestingError:
        case msg::RepeatedAttribute:
            text = formatText(entry->text, {a1, number, a2});
            break;
        case msg::EndOfDocumentBeforeClosingTag:
            text = formatText(entry->text, {a1, number});
            break;
        case msg::ClosingTagNotAllowed:
            text = formatText(entry->text, {a1, a2.empty() ? a1 : a2});
            break;
        case msg::QuickCloseRequired:
        case msg::QuickCloseAsClosingTag:
            text = formatText(entry->text, {a1, a1});
            break;
        case msg::QuickCloseOrClosingTagRequired:
        case msg::ClosingTagRequired:
            text = formatText(entry->text, {a1, a1, a1});
            break;
        case msg::AttributeMessage:
        case msg::ValueMessage:
            text = a1.size() >= kMaxFreeText ? std::string(kMessageTooLongText) : a1;
            break;
        case msg::SpaceBeforeQuickClose:
            text = replacement109.empty() ? std::string(entry->text) : replacement109;
            break;
        case msg::BadEntityInAttributeValue:
            text = formatText(entry->text, {prepend112, a1});
            break;
        default:
            text = formatText(entry->text, {a1, a2});
            break;
        }
    }
    place(*record, kind, location);
    record->setText(chooseLanguageText(text.c_str(), language, true));
    record->id = id;
    current = record.get();
    if (!store || !store->add(std::move(record)))
        current = nullptr;
    return result;
}

int MessageEmitter::addHint(int32_t id, const char* arg) {
    if (id != msg::HintSummary && store && store->hasCommentWithId(id))
        return 1;
    const HintEntry* hint = findHint(id);
    std::string text;
    if (id == msg::HintSummary)
        text = orEmpty(arg);
    else if (hint)
        text = formatText(hint->text, {orEmpty(arg), orEmpty(arg)});
    else
        text = formatText(kNoCaseErrorText, {id});
    if (id != msg::HintSummary && hint &&
        !(options ? options->switchOn(hint->switchNumber) : RunOptions{}.switchOn(hint->switchNumber)))
        return 1;
    auto record = std::make_unique<SingleMsgStore>();
    record->kind = KindComment;
    record->runningNumber = nextRunningNumber(KindComment);
    record->setText(text);
    record->id = id;
    current = record.get();
    if (!store || !store->add(std::move(record)))
        current = nullptr;
    return 1;
}

} // namespace zel::run
