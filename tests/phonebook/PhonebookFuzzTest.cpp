// Random answers, built from real lines, damaged lines and noise, through every phonebook
// reader. No reader may throw, crash or read out of bounds (the sanitizer build checks the
// latter), and each must keep the builder's protocol: no field call without an open contact,
// no contact handed on twice, none dropped unseen but the last one of an answer cut off before
// its result line. Answers made only of well-formed lines must also give the right number of
// contacts.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "MpbreLine.h"
#include "RecordingBuilder.h"
#include "phonebook/CPBRCommand.h"
#include "phonebook/ContactBuilder.h"
#include "phonebook/MPBRERequest.h"
#include "phonebook/MPGRStateMachine.h"
#include "serial_comm/ResponseParser.h"

namespace {

using namespace phonebook_test;

constexpr std::uint64_t kSeed = 0xC0FF'EE5E'ED00'0005ULL;
constexpr int kAnswers = 100'000;

enum class Reader { Standard, Extended, Groups };

// An answer and, when it holds only well-formed lines, the number of contacts it must give.
struct Answer {
    std::string text;
    int expectedContacts = -1;  // -1: damaged, any number will do
};

class AnswerMaker {
public:
    explicit AnswerMaker(std::uint64_t seed) : random_(seed) {}

    std::size_t below(std::size_t bound) {
        return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random_);
    }
    template <typename T>
    const T& pick(const std::vector<T>& items) {
        return items[below(items.size())];
    }

    Answer make(Reader reader) {
        const bool damaged = below(2) == 0;
        Answer answer;
        if (below(4) != 0)
            answer.text = pick(kEchoes);
        int contacts = 0;
        std::string currentIndex;
        const std::size_t lines = below(7);
        for (std::size_t i = 0; i < lines; ++i) {
            if (below(4) == 0) {
                answer.text += noise(damaged);
                continue;
            }
            std::string index;
            std::string line = wellFormed(reader, index);
            if (damaged && below(2) == 0)
                line = damage(line);
            answer.text += line;
            if (reader == Reader::Standard) {
                ++contacts;
            } else if (index != currentIndex) {
                contacts += index.empty() ? 0 : 1;
                currentIndex = index;
            }
        }
        const std::size_t result = below(5);
        if (result == 0 && !currentIndex.empty())
            --contacts;  // no result line: the last extended contact stays unfinished
        if (result != 0)
            answer.text += result == 1 ? "\r\nERROR\r\n" : "\r\nOK\r\n";
        if (!damaged && reader != Reader::Groups)
            answer.expectedContacts = contacts;
        return answer;
    }

private:
    std::string wellFormed(Reader reader, std::string& index) {
        switch (reader) {
            case Reader::Standard:
                index = std::to_string(1 + below(250));
                return "+CPBR: " + index + "," + pick(kNumbers) + "," + pick(kNumberTypes) + "," +
                       pick(kTexts) + "\r\n";
            case Reader::Extended: {
                MpbreLine line;
                index = pick(kIndexes);
                line.index = index;
                line.number = pick(kNumbers);
                line.name = pick(kTexts);
                line.type = std::to_string(static_cast<int>(below(28)) - 1);
                line.group = pick(kGroups);
                line.nameLength = pick(kNameLengths);
                for (std::string& part : line.address)
                    part = pick(kTexts);
                line.additionalName = pick(kTexts);
                line.birthday = pick(kBirthdays);
                return line.text();
            }
            case Reader::Groups:
                return "+MPGR: " + std::to_string(below(10)) + "," + pick(kTexts) + "\r\n";
        }
        return {};
    }

    std::string noise(bool damaged) {
        // Damaged answers may also hold stray result lines, empty phonebook lines and bytes.
        const std::size_t choice = below(kNoise.size() + (damaged ? kDamagedNoise.size() + 1 : 0));
        if (choice < kNoise.size())
            return kNoise[choice];
        if (choice - kNoise.size() < kDamagedNoise.size())
            return kDamagedNoise[choice - kNoise.size()];
        return randomBytes(80);
    }

    std::string damage(std::string line) {
        switch (below(6)) {
            case 0:  // cut anywhere, line end included
                line.resize(below(line.size() + 1));
                return line;
            case 1: {  // a value dropped
                const std::size_t comma = line.find(',', below(line.size()));
                if (comma != std::string::npos)
                    line.erase(comma, line.find(',', comma + 1) - comma);
                return line;
            }
            case 2: {  // a huge value
                const std::size_t comma = line.find(',', below(line.size()));
                const std::size_t size = below(200) == 0 ? 64 * 1024 : below(512);
                std::string value(size, pick<char>({'0', 'A', 'f', '9', 'z', ' '}));
                if (below(2) == 0)
                    value = "\"" + value + "\"";
                line.insert(comma == std::string::npos ? line.size() : comma + 1, value + ",");
                return line;
            }
            case 3: {  // numbers where text belongs and text where numbers belong
                for (char& c : line) {
                    if (below(8) == 0 && c >= '0' && c <= '9')
                        c = pick<char>({'x', '"', '(', ')', '-', ' '});
                }
                return line;
            }
            case 4:  // random bytes inside the line
                line.insert(below(line.size() + 1), randomBytes(40));
                return line;
            default:  // an unbalanced quote or parenthesis swallows the rest
                line.insert(below(line.size() + 1), 1, pick<char>({'"', '(', ')'}));
                return line;
        }
    }

    std::string randomBytes(std::size_t maxLength) {
        std::string bytes(below(maxLength + 1), '\0');
        for (char& c : bytes)
            c = below(2) == 0 ? static_cast<char>(below(256)) : pick(kInteresting);
        return bytes;
    }

    const std::vector<std::string> kNoise = {"\r\n", "RING\r\n", "+CREG: 1\r\n",
                                             "+CPBS: \"ME\",3,500\r\n", "AT+CPBR=1,10\r\n"};
    const std::vector<std::string> kDamagedNoise = {
        "OK\r\n",      "ERROR\r\n",   "+CME ERROR: 10\r\n", "+CPBR:\r\n",
        "+MPBRE:\r\n", "+MPGR: \r\n", "+MPBRE: ,,,\r\n"};
    const std::vector<std::string> kEchoes = {"AT+CPBR=1,10\r\r\n", "AT+MPBRE=1,10\r\r\n",
                                              "AT+MPGR=1,5\r\r\n", "\r\n"};
    const std::vector<std::string> kNumberTypes = {"129", "145", "128", "161"};
    // Few indexes, in any order: lines of one index often follow each other.
    const std::vector<std::string> kIndexes = {"1", "1", "2", "3", "17", ""};
    const std::vector<std::string> kGroups = {"", "0", "1", "2", "7"};
    const std::vector<std::string> kNameLengths = {"", "0", "3", "50", "-2"};
    const std::vector<std::string> kBirthdays = {"\"19800101\"", "\"\"", "1980"};
    const std::vector<std::string> kNumbers = {"\"+4930123456\"", "\"555\"", "002B0034", "\"\"",
                                               "\"a@b.example\"", "2B3439"};
    const std::vector<std::string> kTexts = {"\"John Smith\"", "\"004A00F6\"", "4AC3A9", "\"\"",
                                             "\"D83DDE00\"",   "\"a,b\"",      "D83D",   "xyz"};
    const std::vector<char> kInteresting = {'"',  '(', ')', ',', ':', ' ', '\r', '\n',
                                            '\0', '0', '7', 'A', 'f', '+', '-'};
    std::mt19937_64 random_;
};

// Checks, as each contact arrives, that it comes from a beginContact of its own.
class DistinctContactSink : public IContactBuilderSink {
public:
    explicit DistinctContactSink(const RecordingBuilder& checker) : checker_(&checker) {}

    void onContact(const IContact&) override {
        if (checker_->currentContact() <= lastContact_)
            ++repeats;
        lastContact_ = checker_->currentContact();
        ++received;
    }

    int received = 0;
    int repeats = 0;

private:
    const RecordingBuilder* checker_;
    int lastContact_ = 0;
};

TEST(PhonebookFuzz, NoAnswerBreaksAReader) {
    AnswerMaker maker(kSeed);
    // A name outside the table (decoded with the locale's charset, which is slow to set up for
    // every value) comes up now and then; the phone's three charsets make up the rest.
    const std::vector<std::u16string> charsets = {u"UCS2", u"UTF8", u"ASCII"};
    int failures = 0;
    for (int i = 0; i < kAnswers && failures < 5; ++i) {
        const Reader reader = static_cast<Reader>(maker.below(3));
        const std::u16string charset =
            maker.below(100) == 0 ? u"GSM" : charsets[maker.below(charsets.size())];
        const Answer answer = maker.make(reader);

        GroupTable groups;
        if (reader == Reader::Groups) {
            MPGRStateMachine groupReader(groups, charset);
            serial_comm::parseResponse(groupReader, answer.text, "+MPGR");
            // Group numbers come from well-formed lines (0 to 9) or from damaged ones.
            if (answer.expectedContacts >= 0 && !groups.empty() && groups.rbegin()->first > 9)
                ++failures;
            continue;
        }

        ContactBuilder builder;
        RecordingBuilder checker(&builder, false);
        DistinctContactSink sink(checker);
        builder.addSink(&sink);
        if (reader == Reader::Standard) {
            CPBRCommand(charset).parse(answer.text, checker);
        } else {
            groups = {{1, u"Family"}, {2, u"Work"}};
            MPBRERequest(charset, &groups, maker.below(2) == 0).parse(answer.text, checker);
        }

        const bool wrongCount =
            answer.expectedContacts >= 0 && sink.received != answer.expectedContacts;
        if (!checker.violations.empty() || sink.repeats != 0 || sink.received != checker.ends ||
            wrongCount) {
            ++failures;
            ADD_FAILURE() << "answer " << i << " (" << answer.text.size() << " bytes): "
                          << (checker.violations.empty() ? "" : checker.violations.front())
                          << ", repeats " << sink.repeats << ", contacts " << sink.received
                          << " of " << answer.expectedContacts << "\n"
                          << answer.text.substr(0, 600);
        }
    }
    EXPECT_EQ(failures, 0);
}

}  // namespace
