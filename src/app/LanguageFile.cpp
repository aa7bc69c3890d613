#include "app/LanguageFile.h"

#include <gettext-po.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>

#include "app/AtomicFile.h"
#include "charsets/TextCodec.h"

namespace {

// What the library's error handler found during the one read in progress.
struct ReadErrors {
    bool any = false;
};

// Thrown by the handler on a fatal error, after which the library must not go on.
struct FatalReadError {};

// The library's error handler has no context argument; reads are serialised by this lock, and
// the handler reports into the read in progress.
std::mutex readLock;
ReadErrors* currentRead = nullptr;

void noteError(int severity) {
    if (severity >= PO_SEVERITY_ERROR && currentRead != nullptr) {
        currentRead->any = true;
    }
    if (severity == PO_SEVERITY_FATAL_ERROR) {
        throw FatalReadError{};
    }
}

}  // namespace

extern "C" {

static void languageFileError(int severity, po_message_t, const char*, size_t, size_t, int,
                              const char*) {
    noteError(severity);
}

static void languageFileError2(int severity, po_message_t, const char*, size_t, size_t, int,
                               const char*, po_message_t, const char*, size_t, size_t, int,
                               const char*) {
    noteError(severity);
}
}

namespace {

struct PoFileDeleter {
    void operator()(po_file_t file) const {
        // The library does not free the contexts of the messages with the file (gettext 0.21);
        // setting a context frees the old one.
        for (const char* const* domain = po_file_domains(file); *domain != nullptr; ++domain) {
            po_message_iterator_t iterator = po_message_iterator(file, *domain);
            while (po_message_t message = po_next_message(iterator)) {
                po_message_set_msgctxt(message, nullptr);
            }
            po_message_iterator_free(iterator);
        }
        po_file_free(file);
    }
};
using PoFile = std::unique_ptr<std::remove_pointer_t<po_file_t>, PoFileDeleter>;

struct IteratorDeleter {
    void operator()(po_message_iterator_t iterator) const { po_message_iterator_free(iterator); }
};
using PoIterator = std::unique_ptr<std::remove_pointer_t<po_message_iterator_t>, IteratorDeleter>;

struct MallocDeleter {
    void operator()(char* text) const { std::free(text); }
};

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())) != 0) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())) != 0) {
        text.remove_suffix(1);
    }
    return text;
}

std::optional<std::string> headerField(const char* header, const char* field) {
    const std::unique_ptr<char, MallocDeleter> value(po_header_field(header, field));
    if (!value) {
        return std::nullopt;
    }
    return std::string(trimmed(value.get()));
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// True when the Content-Type field names no charset, or one whose texts are UTF-8.
bool declaresUtf8(const char* header) {
    const std::optional<std::string> type = headerField(header, "Content-Type");
    if (!type) {
        return true;
    }
    const std::size_t at = type->find("charset=");
    if (at == std::string::npos) {
        return true;
    }
    std::string_view charset = std::string_view(*type).substr(at + 8);
    charset = trimmed(charset.substr(0, charset.find_first_of("; \t")));
    for (const std::string_view accepted : {"UTF-8", "UTF8", "ASCII", "US-ASCII", "CHARSET"}) {
        if (equalsIgnoringCase(charset, accepted)) {
            return true;
        }
    }
    return false;
}

// A text id: decimal digits that fit 32 bits.
std::optional<std::uint32_t> textId(const char* context) {
    if (context == nullptr || *context == '\0') {
        return std::nullopt;
    }
    std::uint64_t id = 0;
    for (const char* c = context; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') {
            return std::nullopt;
        }
        id = id * 10 + static_cast<std::uint64_t>(*c - '0');
        if (id > 0xFFFFFFFFu) {
            return std::nullopt;
        }
    }
    return static_cast<std::uint32_t>(id);
}

// An anonymous in-memory file holding the bytes, for the library, which reads only by name.
class MemoryFile {
public:
    explicit MemoryFile(std::string_view bytes)
        : fd_(::memfd_create("contaxio-language", MFD_CLOEXEC)) {
        while (fd_ >= 0 && !bytes.empty()) {
            const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                ::close(fd_);
                fd_ = -1;
                break;
            }
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
    }
    ~MemoryFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    bool ok() const { return fd_ >= 0; }
    std::string name() const { return "/proc/self/fd/" + std::to_string(fd_); }

private:
    int fd_;
};

PoFile readPoFile(std::string_view bytes, bool& errors) {
    const MemoryFile file(bytes);
    if (!file.ok()) {
        errors = true;
        return nullptr;
    }
    static constexpr po_xerror_handler kHandler{languageFileError, languageFileError2};
    const std::lock_guard lock(readLock);
    ReadErrors found;
    currentRead = &found;
    PoFile po;
    try {
        po.reset(po_file_read(file.name().c_str(), &kHandler));
    } catch (const FatalReadError&) {
        // What the library had allocated for this read is lost; it cannot be reached.
        found.any = true;
    }
    currentRead = nullptr;
    errors = found.any || !po;
    return po;
}

}  // namespace

std::uint16_t LanguageFile::parseLanguageId(std::string_view field) {
    field = trimmed(field);
    int base = 10;
    if (field.size() > 2 && field[0] == '0' && (field[1] == 'x' || field[1] == 'X')) {
        base = 16;
        field.remove_prefix(2);
    }
    if (field.empty() || field.size() > 8) {
        return 0;
    }
    std::uint32_t id = 0;
    for (const char c : field) {
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && std::isxdigit(static_cast<unsigned char>(c)) != 0) {
            digit = std::toupper(static_cast<unsigned char>(c)) - 'A' + 10;
        }
        if (digit < 0) {
            return 0;
        }
        id = id * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digit);
        if (id > 0xFFFF) {
            return 0;
        }
    }
    return static_cast<std::uint16_t>(id);
}

std::optional<LanguageFile> LanguageFile::fromFile(const std::filesystem::path& path) {
    const atomic_file::ReadResult read = atomic_file::read(path);
    if (read.status != atomic_file::ReadResult::Status::Read || read.bytes.size() > kMaximumSize) {
        return std::nullopt;
    }
    return fromBytes(read.bytes);
}

std::optional<LanguageFile> LanguageFile::fromBytes(std::string_view bytes) {
    if (bytes.size() > kMaximumSize) {
        return std::nullopt;
    }
    bool errors = false;
    const PoFile po = readPoFile(bytes, errors);
    if (errors) {
        return std::nullopt;
    }

    LanguageFile language;
    bool signatureFound = false;
    const PoIterator iterator(po_message_iterator(po.get(), nullptr));
    while (po_message_t message = po_next_message(iterator.get())) {
        if (po_message_is_obsolete(message) != 0) {
            continue;
        }
        const char* context = po_message_msgctxt(message);
        const char* source = po_message_msgid(message);
        const char* translation = po_message_msgstr(message);
        if (context == nullptr && source != nullptr && *source == '\0') {
            // The header entry.
            if (translation == nullptr || !declaresUtf8(translation)) {
                return std::nullopt;
            }
            const auto signature = headerField(translation, "X-Contaxio-Signature");
            const auto id = headerField(translation, "X-Contaxio-Language-Id");
            signatureFound = signature && equalsIgnoringCase(*signature, kSignature);
            language.languageId_ = id ? parseLanguageId(*id) : 0;
            continue;
        }
        const std::optional<std::uint32_t> id = textId(context);
        if (!id || source == nullptr || po_message_msgid_plural(message) != nullptr) {
            continue;
        }
        const bool untranslated =
            translation == nullptr || *translation == '\0' || po_message_is_fuzzy(message) != 0;
        language.texts_.emplace(*id, text_codec::fromUtf8(untranslated ? source : translation));
        language.sourceTexts_.emplace(*id, text_codec::fromUtf8(source));
    }
    if (!signatureFound || language.languageId_ == 0) {
        return std::nullopt;
    }
    return language;
}

std::u16string LanguageFile::text(std::uint32_t id) const {
    const auto found = texts_.find(id);
    return found == texts_.end() ? std::u16string{} : found->second;
}
