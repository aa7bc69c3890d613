#include "pages/PhoneCauseTexts.h"

#include "app/AppContext.h"
#include "app/TextFormat.h"
#include "app/UiTextIds.h"
#include "causes/CauseTable.h"
#include "causes/PortHolder.h"
#include "charsets/TextCodec.h"

namespace {

std::u16string filled(const AppContext& app, std::uint32_t id, const causes::PhoneCause& cause) {
    const std::string pid = std::to_string(cause.pid);
    return formatText(app.text(id), std::vector<std::u16string>{text_codec::fromUtf8(cause.program),
                                                                {pid.begin(), pid.end()}});
}

// Causes of the port rather than of the phone's answers.
bool isPortCause(causes::Cause kind) {
    using causes::Cause;
    switch (kind) {
        case Cause::Permission:
        case Cause::Busy:
        case Cause::BusyNamed:
        case Cause::NoSuchPort:
        case Cause::HungUp:
        case Cause::NotATerminal:
        case Cause::OpenFailed:
        case Cause::OpenError:
        case Cause::Disconnected:
        case Cause::PortClosed:
        case Cause::StoppedAccepting:
        case Cause::PortFailed:
            return true;
        default:
            return false;
    }
}

}  // namespace

std::u16string PhoneCauseTexts::what(const AppContext& app, const causes::PhoneCause& cause) {
    return filled(app, causes::entryOf(cause.kind).whatTextId, cause);
}

std::u16string PhoneCauseTexts::wayOut(const AppContext& app, const causes::PhoneCause& cause) {
    return filled(app, causes::entryOf(cause.kind).wayOutTextId, cause);
}

std::vector<std::u16string> PhoneCauseTexts::tooltip(const AppContext& app,
                                                     const causes::PhoneCause& cause,
                                                     bool offersHelp) {
    if (cause.kind == causes::Cause::None) {
        return {};
    }
    std::vector<std::u16string> paragraphs{what(app, cause), wayOut(app, cause)};
    if (offersHelp) {
        paragraphs.push_back(app.text(ui_text::TipHelpLine));
    }
    return paragraphs;
}

PhoneCauseTexts::Box PhoneCauseTexts::failure(const AppContext& app,
                                              const causes::PhoneCause& cause) {
    Box box;
    box.captionId =
        isPortCause(cause.kind) ? ui_text::CannotOpenCaption : ui_text::CannotReadCaption;
    box.text = what(app, cause) + u"\n\n" + wayOut(app, cause);
    return box;
}

causes::PhoneCause PhoneCauseTexts::portCause(const std::u16string& port, int code, int openError) {
    if (code == 0) {
        return causes::openCause(text_codec::toUtf8(port), openError);
    }
    return {causes::causeOfPortFailure(code), code};
}
