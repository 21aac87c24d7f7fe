#include "controls/foundation/SimpleParser.h"

ZEL_DEFINE_CLASS(TSimpleParser, TComponent, {})

TSimpleParser::TSimpleParser(TComponent* AOwner) : TComponent(AOwner), FNotifierList(new TNotifierList) {}

TSimpleParser::~TSimpleParser() {
    FNotifierList->NotifyDestroying(this);
    delete FNotifierList;
    FNotifierList = nullptr;
}

TFont* TSimpleParser::GetFont(int32_t) {
    return nullptr;
}

bool TSimpleParser::GetBackColor(int32_t, uint32_t&) {
    return false;
}

bool TSimpleParser::StoreColorData() {
    return false;
}

void TSimpleParser::PrepareColorData(int32_t, const std::string& Text, std::string& ColorData) {
    ColorData.assign(Text.size(), '\0');
}

void TSimpleParser::RegisterNotifier(const THSNotifyEvent& Method) {
    FNotifierList->AddMethod(Method);
    if (auto* Listener = dynamic_cast<TComponent*>(Method.Object()))
        FreeNotification(Listener);
}

void TSimpleParser::UnRegisterNotifier(const THSNotifyEvent& Method) {
    if (FNotifierList)
        FNotifierList->DeleteMethod(Method);
}

void TSimpleParser::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && FNotifierList)
        FNotifierList->DeleteWithData(AComponent);
}

void TSimpleParser::NotifyEvents(int32_t A, int32_t B) {
    FNotifierList->NotifyEvents(this, A, B);
}
