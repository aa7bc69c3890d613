#pragma once

#include "app/IMessageBox.h"

class AppContext;

// The program's windows and its place among the user's running programs, as the run (see
// runApplication) needs them; supplied by the wizard's program, and by tests without a display.
// showError (from IMessageBox) shows a box without owner.
class IAppHost : public IMessageBox {
public:
    // How the single-instance check ended.
    enum class InstanceClaim {
        Acquired,          // this is the only instance; it is held until releaseInstance()
        BroughtForward,    // another instance runs and was asked to come to the front
        OtherUnreachable,  // another instance runs but could not be asked to come forward
    };

    // Makes sure that only one instance runs in the user's session: claims the instance, or asks
    // the instance that holds it to bring its wizard to the front.
    virtual InstanceClaim claimInstance() = 0;

    // Runs the wizard modally on this thread, starting at its first page, until the user
    // finishes or cancels it.
    virtual void runWizard(AppContext& app) = 0;

    // Gives up the instance claimed with claimInstance().
    virtual void releaseInstance() = 0;
};
