#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/IAppHost.h"
#include "app/IMessageBox.h"

namespace app_test {

using Message = std::pair<std::u16string, std::u16string>;  // caption, text

// Records the message boxes shown.
class RecordingMessageBox : public IMessageBox {
public:
    void showError(const std::u16string& caption, const std::u16string& text) override {
        messages.emplace_back(caption, text);
    }
    std::vector<Message> messages;
};

// Plays the wizard's program: records the boxes, answers the single-instance check as told,
// and runs the given function as the wizard.
class FakeHost : public IAppHost {
public:
    void showError(const std::u16string& caption, const std::u16string& text) override {
        messages.emplace_back(caption, text);
    }
    InstanceClaim claimInstance() override {
        ++claims;
        return claim;
    }
    void runWizard(AppContext& app) override {
        ++wizardRuns;
        if (wizard) {
            wizard(app);
        }
    }
    void releaseInstance() override { ++releases; }

    InstanceClaim claim = InstanceClaim::Acquired;
    std::function<void(AppContext&)> wizard;
    std::vector<Message> messages;
    int claims = 0;
    int wizardRuns = 0;
    int releases = 0;
};

}  // namespace app_test
