#include "serial_comm/ResponseParser.h"

#include <string>

#include "serial_comm/AtProtocol.h"
#include "serial_comm/AtTokenizer.h"
#include "serial_comm/ParseResponseSink.h"

namespace serial_comm {

void parseResponse(ParseResponseSink& sink, std::string_view answer, std::string_view name) {
    for (const std::string_view line : splitLines(answer)) {
        const std::size_t colon = line.find(at::kPrefixEnd);
        if (colon == std::string_view::npos) {
            if (line == at::kResultOk)
                sink.onResult(false);
            else if (line == at::kResultError)
                sink.onResult(true);
            continue;
        }
        const std::string_view prefix = line.substr(0, colon);
        if (prefix != name)
            continue;
        sink.beginLine(std::string(prefix));
        const std::string_view rest = line.substr(colon + 1);
        for (const std::string_view value :
             splitValues(rest, at::kValueSeparators, at::kValueQuotes))
            sink.onValue(std::string(value));
        sink.endLine();
    }
}

}  // namespace serial_comm
