#include "phonesim/ScenarioGenerator.h"

#include <algorithm>
#include <string>

#include "charsets/AsciiCase.h"
#include "charsets/TextCodec.h"

namespace phonesim {
namespace {

struct NamePool {
    std::vector<const char*> given;
    std::vector<const char*> family;
    bool latin;  // names that can go into an e-mail address as they are, once unaccented
};

const std::vector<NamePool>& pools() {
    static const std::vector<NamePool> kPools{
        {{"Anna", "Jörg", "Zoë", "José", "Łukasz", "Søren", "Ådne", "Célestine", "Renée", "Ştefan",
          "Mónica", "Dagný", "Ines", "Tomás", "Noémie", "François"},
         {"Müller", "Schäfer", "Núñez", "Øverby", "Dvořák", "Kovačević", "Lindqvist",
          "Ó Súilleabháin", "García", "Wąsik", "Brontë", "Gößling", "Akşit", "Fontaine"},
         true},
        {{"Иван", "Ольга", "Дмитрий", "Наталья", "Сергей", "Татьяна", "Алексей", "Юлия"},
         {"Петров", "Смирнова", "Кузнецов", "Волкова", "Соколов", "Лебедева"},
         false},
        {{"Γιώργος", "Ελένη", "Νίκος", "Μαρία", "Δημήτρης", "Σοφία"},
         {"Παπαδόπουλος", "Οικονόμου", "Γεωργίου", "Νικολάου"},
         false},
        {{"小明", "美玲", "健", "さくら", "翔太", "민준", "서연"},
         {"王", "李", "张", "佐藤", "田中", "김", "박"},
         false},
        {{"Emma", "Liam", "Olivia", "Noah", "Ava", "Lucas", "Mia", "Ethan"},
         {"Smith", "Jones", "Brown", "Taylor", "Wilson", "Clark", "Walker"},
         true},
    };
    return kPools;
}

const char* const kEmoji[] = {"😀", "❤️", "🎸", "⚽", "🌻", "🐱"};
const char* const kGroups[] = {"Family",     "Friends", "Work", "Sport",
                               "Neighbours", "Doctors", "VIP",  "School"};
const char* const kStreets[] = {"Hauptstraße",  "Rue de la Paix",  "Calle Mayor",
                                "Baker Street", "Nevsky Prospekt", "Odos Ermou"};
const char* const kCities[] = {"Berlin", "Paris", "Madrid", "London", "Санкт-Петербург", "Αθήνα"};
const char* const kCountries[] = {"Germany",        "France", "Spain",
                                  "United Kingdom", "Russia", "Greece"};

// A small, fast, deterministic generator (xorshift32).
class Random {
public:
    explicit Random(std::uint32_t seed) : state_(seed == 0 ? 0x9E3779B9u : seed) {}

    std::uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }

    // True with the given percentage.
    bool chance(std::uint32_t percent) { return next() % 100 < percent; }

    template <typename T>
    const T& pick(const std::vector<T>& items) {
        return items[next() % items.size()];
    }

    template <typename T, std::size_t N>
    const T& pick(const T (&items)[N]) {
        return items[next() % N];
    }

private:
    std::uint32_t state_;
};

// Lower-case ASCII letters of a Latin name, accents dropped, for e-mail addresses.
std::string mailbox(const std::string& name) {
    std::string out;
    const std::u16string wide = text_codec::fromUtf8(name);
    for (const char16_t letter : wide) {
        const char16_t unit = ascii_case::toLower(letter);
        if (unit >= u'a' && unit <= u'z') {
            out.push_back(static_cast<char>(unit));
        }
    }
    return out.empty() ? "contact" : out;
}

std::u16string number(const char* prefix, std::size_t serial, std::uint32_t salt) {
    std::string digits = std::to_string(serial * 7919 + salt % 7919);
    digits.insert(0, 9 - std::min<std::size_t>(digits.size(), 9), '0');
    return text_codec::fromUtf8(std::string(prefix) + digits);
}

Contact makeContact(int index, std::size_t serial, bool extended, Random& random) {
    const NamePool& pool = random.pick(pools());
    Contact contact;
    contact.index = index;
    const std::string given = random.pick(pool.given);
    const std::string family = random.pick(pool.family);
    contact.givenName = text_codec::fromUtf8(given);
    if (random.chance(5)) {
        contact.givenName += text_codec::fromUtf8(std::string(" ") + random.pick(kEmoji));
    }
    contact.familyName = text_codec::fromUtf8(family);
    contact.items.push_back({3, number("+4917", serial, random.next())});
    if (!extended) {
        return contact;
    }
    if (random.chance(50)) {
        contact.items.push_back({1, number("+4930", serial, random.next())});
    }
    if (random.chance(25)) {
        contact.items.push_back({0, number("+4989", serial, random.next())});
    }
    if (random.chance(40)) {
        const std::string user = pool.latin ? mailbox(given) + "." + mailbox(family)
                                            : "contact" + std::to_string(serial);
        contact.items.push_back(
            {random.chance(50) ? 12 : 13, text_codec::fromUtf8(user + "@example.org")});
    }
    if (random.chance(10)) {
        contact.items.push_back(
            {18, text_codec::fromUtf8("https://example.org/~" + std::to_string(serial))});
    }
    if (random.chance(15)) {
        const auto place = random.next() % std::size(kCities);
        contact.postal = {text_codec::fromUtf8(std::string(random.pick(kStreets)) + " " +
                                               std::to_string(1 + random.next() % 120)),
                          u"",
                          text_codec::fromUtf8(kCities[place]),
                          u"",
                          text_codec::fromUtf8(std::to_string(10000 + random.next() % 89999)),
                          text_codec::fromUtf8(kCountries[place])};
    }
    if (random.chance(30)) {
        contact.birthday = std::to_string(1 + random.next() % 12) + "-" +
                           std::to_string(1 + random.next() % 28) + "-" +
                           std::to_string(1940 + random.next() % 70);
    }
    if (random.chance(60)) {
        contact.group = static_cast<int>(1 + random.next() % std::size(kGroups));
    }
    if (random.chance(10)) {
        contact.additionalName = text_codec::fromUtf8(random.pick(pool.given));
    }
    return contact;
}

}  // namespace

Scenario ScenarioGenerator::generate(const Options& options) {
    Scenario scenario;
    scenario.phone.model = options.extended ? "Z3-X" : "Z3";
    scenario.phone.extended = options.extended;
    scenario.phone.charsets = {"UCS2", "UTF8", "ASCII", "GSM"};
    scenario.phone.charset = "GSM";
    if (options.extended) {
        for (std::size_t i = 0; i < std::size(kGroups); ++i) {
            scenario.groups.names[static_cast<int>(i + 1)] = text_codec::fromUtf8(kGroups[i]);
        }
    }

    Random random(options.seed);
    Storage memory;
    memory.name = "ME";
    memory.first = 1;
    memory.last = static_cast<int>(std::max<std::size_t>(options.contacts, 1));
    memory.capacity = memory.last;
    std::size_t serial = 0;
    for (std::size_t i = 1; i <= options.contacts; ++i) {
        memory.contacts.emplace(static_cast<int>(i), makeContact(static_cast<int>(i), ++serial,
                                                                 options.extended, random));
    }
    Storage sim;
    sim.name = "SM";
    sim.first = 1;
    sim.last = static_cast<int>(std::max<std::size_t>(options.simContacts, 250));
    sim.capacity = sim.last;
    for (std::size_t i = 1; i <= options.simContacts; ++i) {
        sim.contacts.emplace(static_cast<int>(i),
                             makeContact(static_cast<int>(i), ++serial, false, random));
    }
    scenario.storages.push_back(std::move(memory));
    scenario.storages.push_back(std::move(sim));
    return scenario;
}

}  // namespace phonesim
