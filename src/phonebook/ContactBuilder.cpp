#include "phonebook/ContactBuilder.h"

#include <algorithm>
#include <limits>

#include "export/ContactField.h"

ContactBuilder::~ContactBuilder() = default;

void ContactBuilder::beginContact() {
    contact_ = std::make_unique<Contact>();
    contact_->setStorage(storage_);
    // A reader that abandoned a field halfway must not shift the next contact's fields.
    path_.depth = 0;
}

void ContactBuilder::setIndex(std::int64_t index) {
    if (contact_) {
        contact_->setFirstIndex(index);
    }
}

void ContactBuilder::addEntry() {
    if (contact_) {
        contact_->addEntry();
    }
}

void ContactBuilder::push(std::int32_t value) {
    if (!contact_) {
        return;
    }
    if (path_.depth == 0) {
        path_.fieldCode = value;
    } else if (path_.depth == 1) {
        path_.kind = value;
    }
    if (path_.depth < std::numeric_limits<std::int32_t>::max()) {
        ++path_.depth;
    }
}

void ContactBuilder::setValue(const std::u16string& text) {
    if (!contact_) {
        return;
    }
    if (path_.depth == 1) {
        contact_->setText(path_.fieldCode, text);
        return;
    }
    if (path_.depth != 2) {
        return;
    }
    switch (path_.fieldCode) {
        case ContactField::Phone:
            contact_->addPhone(path_.kind, text);
            break;
        case ContactField::Email:
            contact_->addEmail(path_.kind, text);
            break;
        case ContactField::Address:
            contact_->addAddress(path_.kind, text);
            break;
        case ContactField::Website:
            contact_->addWebsite(text);
            break;
        default:
            break;
    }
}

void ContactBuilder::pop() {
    // An unbalanced pop stays at the top level, so the next field still lands where it should.
    if (contact_ && path_.depth > 0) {
        --path_.depth;
    }
}

void ContactBuilder::endContact() {
    if (!contact_) {
        return;
    }
    // By index: a sink may add another sink while it is called.
    for (std::size_t i = 0; i < sinks_.size(); ++i) {
        sinks_[i]->onContact(*contact_);
    }
}

void ContactBuilder::addSink(IContactBuilderSink* sink) {
    if (sink != nullptr && std::find(sinks_.begin(), sinks_.end(), sink) == sinks_.end()) {
        sinks_.push_back(sink);
    }
}
