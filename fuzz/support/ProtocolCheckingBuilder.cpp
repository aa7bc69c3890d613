#include "ProtocolCheckingBuilder.h"

#include "FuzzCheck.h"

namespace fuzz_support {

void ProtocolCheckingBuilder::requireOpen(const char* call) const {
    FUZZ_CHECK(open_, "a reader called the builder without an open contact", call);
}

void ProtocolCheckingBuilder::beginContact() {
    check(!open_, "a reader began a contact while another was open: it is dropped unseen");
    open_ = true;
    depth_ = 0;
    indexed_ = false;
    next_->beginContact();
}

void ProtocolCheckingBuilder::setIndex(std::int64_t index) {
    requireOpen("setIndex");
    check(depth_ == 0, "a reader gave a contact's index inside a field");
    check(!indexed_, "a reader gave one contact two indexes");
    indexed_ = true;
    next_->setIndex(index);
}

void ProtocolCheckingBuilder::addEntry() {
    requireOpen("addEntry");
    next_->addEntry();
}

void ProtocolCheckingBuilder::push(std::int32_t value) {
    requireOpen("push");
    ++depth_;
    next_->push(value);
}

void ProtocolCheckingBuilder::setValue(const std::u16string& text) {
    requireOpen("setValue");
    check(depth_ > 0, "a reader gave a value outside a field");
    next_->setValue(text);
}

void ProtocolCheckingBuilder::pop() {
    requireOpen("pop");
    check(depth_ > 0, "a reader popped without a push");
    --depth_;
    next_->pop();
}

void ProtocolCheckingBuilder::endContact() {
    requireOpen("endContact (the contact would be handed on twice)");
    check(depth_ == 0, "a reader handed a contact on inside a field");
    open_ = false;
    ++ends_;
    next_->endContact();
}

}  // namespace fuzz_support
