#include "ContactGenerator.h"

#include "contacts/QorContacts.h"

#include <QDate>

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace cardolin::bench {

// ---- numbers ----------------------------------------------------------------

std::uint64_t Random::Next()
{
    // splitmix64: tiny, fast and good enough for test data.
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

int Random::Below(int bound)
{
    return bound <= 0 ? 0 : int((unsigned __int128)Next() * unsigned(bound) >> 64);
}

int Random::Between(int low, int high)
{
    return low + Below(high - low + 1);
}

bool Random::Chance(double probability)
{
    return double(Next() >> 11) * 0x1.0p-53 < probability;
}

QString Random::PickOrEmpty(double probability, const QStringList &items)
{
    return Chance(probability) ? Pick(items) : QString();
}

// ---- vocabularies -------------------------------------------------------------

namespace {

QStringList Utf8List(std::initializer_list<const char *> items)
{
    QStringList result;
    result.reserve(qsizetype(items.size()));
    for (const char *item : items)
        result.append(QString::fromUtf8(item));
    return result;
}

// A region gives a contact's name a script and its addresses a believable shape.
struct Region
{
    QStringList firstNames;
    QStringList lastNames;
    QString country;
    QStringList cities;
    QStringList states;
    QStringList streets; // "#" is replaced by a house number
    QString phonePrefix; // digits follow in groups
    QString domain;
    int postalDigits;
    int weight; // how common such contacts are in a book
};

const std::vector<Region> &Regions()
{
    static const std::vector<Region> regions = [] {
        std::vector<Region> r;
        r.push_back({Utf8List({"James", "Mary", "Robert", "Patricia", "John", "Jennifer", "Michael", "Linda",
                               "David", "Elizabeth", "Chloë", "Zoë", "Renée", "Bob", "Ann"}),
                     Utf8List({"Smith", "Johnson", "Williams", "Brown", "Jones", "Garcia", "Miller", "Davis",
                               "O'Brien", "McAllister", "Nguyen", "Van der Berg"}),
                     QStringLiteral("United States"), Utf8List({"Seattle", "Austin", "Boston", "Chicago", "Denver"}),
                     Utf8List({"WA", "TX", "MA", "IL", "CO"}),
                     Utf8List({"# Main St", "# Pine Ave", "# Lakeview Dr", "# Martin Luther King Jr Blvd"}),
                     QStringLiteral("+1"), QStringLiteral("example.com"), 5, 30});
        r.push_back({Utf8List({"François", "Hélène", "Jérôme", "Céline", "Amélie", "Noël", "Gaëlle", "Loïc",
                               "Éloïse", "Thérèse"}),
                     Utf8List({"Lefèvre", "Dupré", "Bérenger", "Moreau", "Girard", "Rousseau", "Lemaître",
                               "D'Arcy"}),
                     QStringLiteral("France"), Utf8List({"Lyon", "Paris", "Nantes", "Besançon", "Orléans"}),
                     Utf8List({"Rhône", "Île-de-France", "Loire-Atlantique", "Doubs", "Loiret"}),
                     Utf8List({"# rue de la République", "# avenue des Champs-Élysées", "# quai Saint-Honoré"}),
                     QStringLiteral("+33"), QStringLiteral("exemple.fr"), 5, 12});
        r.push_back({Utf8List({"Jürgen", "Björn", "Uwe", "Käthe", "Lukas", "Sören", "Anneliese", "Jörg"}),
                     Utf8List({"Müller", "Schröder", "Weiß", "Groß", "Schäfer", "Köhler", "Fuchs", "von Bülow"}),
                     QStringLiteral("Deutschland"), Utf8List({"München", "Köln", "Düsseldorf", "Würzburg"}),
                     Utf8List({"Bayern", "Nordrhein-Westfalen", "Baden-Württemberg"}),
                     Utf8List({"Hauptstraße #", "Königsallee #", "Am Grünen Weg #"}), QStringLiteral("+49"),
                     QStringLiteral("beispiel.de"), 5, 12});
        r.push_back({Utf8List({"José", "María", "Jesús", "Núria", "Íñigo", "Begoña", "Álvaro", "Inés"}),
                     Utf8List({"García", "Martínez", "Fernández", "Peña", "Ibáñez", "Muñoz", "de la Fuente"}),
                     QStringLiteral("España"), Utf8List({"Málaga", "Córdoba", "A Coruña", "Cádiz", "León"}),
                     Utf8List({"Andalucía", "Galicia", "Castilla y León"}),
                     Utf8List({"Calle de Alcalá, #", "Avenida de la Constitución, #", "Plaza Mayor, #"}),
                     QStringLiteral("+34"), QStringLiteral("ejemplo.es"), 5, 10});
        r.push_back({Utf8List({"Łukasz", "Małgorzata", "Paweł", "Agnieszka", "Wojciech", "Józef", "Żaneta"}),
                     Utf8List({"Kowalski", "Wiśniewska", "Wójcik", "Kamiński", "Lewandowska", "Dąbrowski",
                               "Szymańska"}),
                     QStringLiteral("Polska"), Utf8List({"Łódź", "Kraków", "Gdańsk", "Wrocław", "Poznań"}),
                     Utf8List({"łódzkie", "małopolskie", "pomorskie"}),
                     Utf8List({"ul. Świętokrzyska #", "ul. Piotrkowska #", "al. Jerozolimskie #"}),
                     QStringLiteral("+48"), QStringLiteral("przyklad.pl"), 5, 6});
        r.push_back({Utf8List({"Иван", "Анна", "Дмитрий", "Ольга", "Сергей", "Наталья", "Алексей"}),
                     Utf8List({"Иванов", "Смирнова", "Кузнецов", "Попова", "Соколов", "Лебедева"}),
                     QStringLiteral("Россия"), Utf8List({"Москва", "Санкт-Петербург", "Казань", "Новосибирск"}),
                     Utf8List({"Московская область", "Татарстан"}),
                     Utf8List({"ул. Тверская, д. #", "Невский пр., д. #", "ул. Баумана, д. #"}),
                     QStringLiteral("+7"), QStringLiteral("primer.ru"), 6, 6});
        r.push_back({Utf8List({"Γιώργος", "Μαρία", "Δημήτρης", "Ελένη", "Νίκος", "Σοφία"}),
                     Utf8List({"Παπαδόπουλος", "Οικονόμου", "Γεωργίου", "Νικολάου", "Καραγιάννη"}),
                     QStringLiteral("Ελλάδα"), Utf8List({"Αθήνα", "Θεσσαλονίκη", "Πάτρα"}),
                     Utf8List({"Αττική", "Κεντρική Μακεδονία"}), Utf8List({"Οδός Ερμού #", "Λεωφόρος Συγγρού #"}),
                     QStringLiteral("+30"), QStringLiteral("paradeigma.gr"), 5, 3});
        r.push_back({Utf8List({"さくら", "翔太", "陽菜", "大輝", "美咲", "健"}),
                     Utf8List({"佐藤", "鈴木", "高橋", "田中", "渡辺", "山本"}), QStringLiteral("日本"),
                     Utf8List({"東京都", "大阪市", "京都市", "札幌市"}), Utf8List({"関東", "関西", "北海道"}),
                     Utf8List({"千代田区丸の内1-#", "中央区銀座4-#", "北区梅田3-#"}), QStringLiteral("+81"),
                     QStringLiteral("rei.jp"), 7, 5});
        r.push_back({Utf8List({"伟", "芳", "娜", "秀英", "敏", "静"}),
                     Utf8List({"王", "李", "张", "刘", "陈", "杨"}), QStringLiteral("中国"),
                     Utf8List({"北京", "上海", "广州", "深圳"}), Utf8List({"北京市", "上海市", "广东省"}),
                     Utf8List({"朝阳区建国路#号", "浦东新区世纪大道#号"}), QStringLiteral("+86"),
                     QStringLiteral("shili.cn"), 6, 5});
        r.push_back({Utf8List({"Nguyễn Văn", "Trần Thị", "Phạm Minh", "Lê Thu", "Hoàng Anh"}),
                     Utf8List({"Nguyễn", "Trần", "Lê", "Phạm", "Hoàng", "Vũ"}), QStringLiteral("Việt Nam"),
                     Utf8List({"Hà Nội", "Hồ Chí Minh", "Đà Nẵng", "Huế"}), Utf8List({"Hà Nội", "Thừa Thiên Huế"}),
                     Utf8List({"# Đường Lê Lợi", "# Phố Hàng Bạc"}), QStringLiteral("+84"),
                     QStringLiteral("vidu.vn"), 6, 3});
        r.push_back({Utf8List({"محمد", "فاطمة", "أحمد", "ليلى", "يوسف"}),
                     Utf8List({"العلي", "حداد", "الخطيب", "منصور"}), QStringLiteral("مصر"),
                     Utf8List({"القاهرة", "الإسكندرية", "الجيزة"}), Utf8List({"القاهرة", "الإسكندرية"}),
                     Utf8List({"# شارع التحرير", "# شارع الهرم"}), QStringLiteral("+20"),
                     QStringLiteral("mithal.eg"), 5, 2});
        r.push_back({Utf8List({"דוד", "שרה", "יוסף", "רחל", "נועה"}),
                     Utf8List({"כהן", "לוי", "מזרחי", "פרץ", "ביטון"}), QStringLiteral("ישראל"),
                     Utf8List({"תל אביב", "ירושלים", "חיפה"}), Utf8List({"מחוז תל אביב", "מחוז חיפה"}),
                     Utf8List({"רחוב הרצל #", "שדרות רוטשילד #"}), QStringLiteral("+972"),
                     QStringLiteral("dugma.il"), 7, 2});
        r.push_back({Utf8List({"राज", "प्रिया", "अमित", "सुनीता", "Arjun", "Priya", "Rahul"}),
                     Utf8List({"शर्मा", "पटेल", "Sharma", "Patel", "Iyer", "Reddy"}), QStringLiteral("India"),
                     Utf8List({"Mumbai", "Bengaluru", "नई दिल्ली", "Chennai"}),
                     Utf8List({"Maharashtra", "Karnataka", "Delhi"}),
                     Utf8List({"#, MG Road", "#, Linking Road", "# Anna Salai"}), QStringLiteral("+91"),
                     QStringLiteral("udaharan.in"), 6, 4});
        return r;
    }();
    return regions;
}

struct Vocabulary
{
    QStringList titles = Utf8List({"Dr.", "Mr.", "Mrs.", "Ms.", "Prof.", "Miss", "Herr", "Mme", "Sr."});
    QStringList suffixes = Utf8List({"Jr.", "Sr.", "III", "PhD"});
    QStringList middleNames = Utf8List({"Anne", "Marie", "J.", "Ľudovít", "Åsa", "Lee", "Jean-Baptiste"});
    QStringList nicknames = Utf8List({"Bobby", "Lulu", "Jojo", "Kiki", "Sasha", "Beppe", "Mimi"});
    QStringList languages = Utf8List({"English (United States)", "French (France)", "German (Germany)",
                                      "Spanish (Spain)", "Polish", "Russian", "Japanese", "Chinese (Simplified)"});
    QStringList companies = Utf8List({"Smith & Sons <Ltd>", "Acme Corp.", "Müller GmbH", "Société Générale d'Études",
                                      "株式会社サンプル", "ООО «Ромашка»", "Blue Sky \"Consulting\"", "Initech",
                                      "Globex", "Café Ñandú S.L.", "Zakład Usług Różnych", "Θάλασσα Α.Ε."});
    QStringList departments = Utf8List({"R&D", "Sales", "Accounting", "Ventes", "Einkauf", "IT", "Legal"});
    QStringList jobTitles = Utf8List({"Engineer", "Manager", "Directrice", "Geschäftsführer", "Consultant",
                                      "Sales Rep", "CTO", "Buchhalterin", "Менеджер", "Architect"});
    QStringList roles = Utf8List({"Lead", "Contact", "Decision maker", "Assistant"});
    QStringList significantOthers = Utf8List({"Sam", "Alex", "Ханна", "Chiara", "Jürgen", "María José"});
    QStringList locations = Utf8List({"Head office", "Flat", "Lake house", "Branch 2", "Chez les parents"});
    QStringList categories = Utf8List({"Family", "Friends", "Coworkers", "Clients", "Suppliers", "Golf club",
                                       "Família", "Коллеги", "Voisins", "VIP", "School", "Book club", "Ärzte",
                                       "Starred", "Favorites", "同僚"});
    QStringList keywords = Utf8List({"golf", "VIP", "newsletter", "christmas card", "vegetarian", "Obsolete", "ski",
                                     "tennis", "board", "investor", "alumni", "Weihnachtskarte", "подарок",
                                     "要跟进", "wine", "chess", "volunteer", "speaker", "press", "mentor"});
    QStringList noteLines = Utf8List({
        "Call after 6 pm, prefers e-mail.",
        "Allergic to peanuts & shellfish.",
        "Met at the <Berlin> conference in 2019.",
        "Quote: \"always on time\" — the boss",
        "Zahlt per Überweisung, nicht bar.",
        "Предпочитает звонки по утрам.",
        "🎂 likes chocolate cake; 🍷 red wine",
        "Owes me €25 and a book.",
        "Tab\tseparated\tvalues from the old address book",
        "Kids: Léa (2012), Hugo (2015)",
        "誕生日にはカードを送る",
        "Do NOT call on Sundays!!!",
        "Gate code 4711#, 3rd floor, door on the left",
        "",
        "Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor incididunt ut labore "
        "et dolore magna aliqua. Ut enim ad minim veniam, quis nostrud exercitation ullamco laboris.",
    });
    QStringList emailDomains = Utf8List({"mail.example", "example.org", "post.example.net", "inbox.example"});
    QStringList preferred = Utf8List({"None", "Work", "Home", "Other"});
    QStringList genders = Utf8List({"Unspecified", "Female", "Male"});
    QStringList priorities = Utf8List({"Low", "Normal", "Normal", "Normal", "High"});
    QStringList sensitivities = Utf8List({"Normal", "Normal", "Personal", "Private", "Confidential"});
};

const Vocabulary &Words()
{
    static const Vocabulary words;
    return words;
}

// Every stamp lies before this moment, so books look the same whatever day they
// are generated on.
const TDateTime kNow = DateToSerial(QDate(2025, 1, 1));

int PickRegion(Random &random)
{
    static const int total = [] {
        int sum = 0;
        for (const Region &region : Regions())
            sum += region.weight;
        return sum;
    }();
    int ticket = random.Below(total), index = 0;
    while (ticket >= Regions()[size_t(index)].weight)
        ticket -= Regions()[size_t(index++)].weight;
    return index;
}

// Most addresses are in the country the name comes from, but not all.
const Region &NearbyRegion(Random &random, int home)
{
    return Regions()[size_t(random.Chance(0.8) ? home : PickRegion(random))];
}

// The parts of an address, by kind: 0 work, 1 home, 2 other.
struct AddressFields
{
    QString TContactData::*street, TContactData::*poBox, TContactData::*city, TContactData::*postalCode,
        TContactData::*state, TContactData::*country, TContactData::*coordinates, TContactData::*phone,
        TContactData::*fax, TContactData::*mobile, TContactData::*pager, TContactData::*email,
        TContactData::*im, TContactData::*website, TContactData::*location;
    TDateTime TContactData::*coordinatesUpdated;
};

const AddressFields kAddress[3] = {
    {&TContactData::WorkStreet, &TContactData::WorkPOBox, &TContactData::WorkCity, &TContactData::WorkPostalCode,
     &TContactData::WorkStateProvince, &TContactData::WorkCountryRegion, &TContactData::WorkCoordinates,
     &TContactData::WorkPhone, &TContactData::WorkFax, &TContactData::WorkMobilePhone, &TContactData::WorkPager,
     &TContactData::WorkEmail, &TContactData::WorkIM, &TContactData::WorkWebsite, &TContactData::WorkLocation,
     &TContactData::WorkCoordinatesUpdated},
    {&TContactData::HomeStreet, &TContactData::HomePOBox, &TContactData::HomeCity, &TContactData::HomePostalCode,
     &TContactData::HomeStateProvince, &TContactData::HomeCountryRegion, &TContactData::HomeCoordinates,
     &TContactData::HomePhone, &TContactData::HomeFax, &TContactData::PersonalMobilePhone,
     &TContactData::PersonalPager, &TContactData::PersonalEmail, &TContactData::PersonalIM,
     &TContactData::PersonalWebsite, &TContactData::HomeLocation, &TContactData::HomeCoordinatesUpdated},
    {&TContactData::OtherStreet, &TContactData::OtherPOBox, &TContactData::OtherCity,
     &TContactData::OtherPostalCode, &TContactData::OtherStateProvince, &TContactData::OtherCountryRegion,
     &TContactData::OtherCoordinates, &TContactData::OtherPhone, &TContactData::OtherFax,
     &TContactData::OtherMobilePhone, &TContactData::OtherPager, &TContactData::OtherEmail,
     &TContactData::OtherIM, &TContactData::OtherWebsite, &TContactData::OtherLocation,
     &TContactData::OtherCoordinatesUpdated},
};

// The ASCII letters of a name, for e-mail handles: accents are dropped, other
// scripts vanish.
QString AsciiHandle(const QString &name)
{
    QString handle;
    for (QChar c : name.normalized(QString::NormalizationForm_D))
        if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'))
            handle.append(c.toLower());
    return handle;
}

QString Initials(const TContactData &contact)
{
    QString initials;
    for (const QString *part : {&contact.FirstName, &contact.MiddleName, &contact.LastName})
        if (!part->isEmpty())
            initials.append(part->front()).append(u'.');
    return initials;
}

} // namespace

// ---- contacts -----------------------------------------------------------------

ContactGenerator::ContactGenerator(std::uint64_t seed) : m_random(seed) {}

TContactData *ContactGenerator::AddContacts(TQorContacts &contacts, int count)
{
    TContactData *first = nullptr;
    for (int i = 0; i < count; ++i) {
        TContactData &contact = *contacts.CreateContactData();
        if (!first)
            first = &contact;
        const int source = PickDuplicateSource();
        if (source >= 0)
            FillNearDuplicate(contact, *m_generated[size_t(source)]);
        else
            FillOriginal(contact);
        m_generated.push_back(&contact);
        m_duplicateOf.push_back(source);
    }
    return first;
}

int ContactGenerator::PickDuplicateSource()
{
    if (m_generated.empty() || !m_random.Chance(m_duplicateShare))
        return -1;
    // Now and then a contact joins a group that already has a duplicate, which
    // makes groups of three and more.
    if (!m_grouped.empty() && m_random.Chance(0.15))
        return m_grouped[size_t(m_random.Below(int(m_grouped.size())))];
    int source = m_random.Below(int(m_generated.size()));
    while (m_duplicateOf[size_t(source)] >= 0) // a copy's group is its original's
        source = m_duplicateOf[size_t(source)];
    if (std::find(m_grouped.begin(), m_grouped.end(), source) == m_grouped.end())
        m_grouped.push_back(source);
    return source;
}

void ContactGenerator::FillOriginal(TContactData &contact)
{
    const Vocabulary &w = Words();
    Random &r = m_random;
    FillName(contact);
    contact.Language = r.PickOrEmpty(0.2, w.languages);
    contact.Preferred = r.Pick(w.preferred);
    if (r.Chance(0.2)) {
        contact.LastVisit = RandomDate(2015, 2024);
        contact.VisitCount = r.Between(1, 60);
    }
    if (r.Chance(0.55)) {
        contact.Company = r.Pick(w.companies);
        contact.Department = r.PickOrEmpty(0.45, w.departments);
        contact.JobTitle = r.PickOrEmpty(0.7, w.jobTitles);
        contact.Role = r.PickOrEmpty(0.15, w.roles);
    }

    // One to three addresses, starting with a random kind.
    const int addresses = r.Chance(0.6) ? 1 : r.Chance(0.7) ? 2 : 3;
    const int firstKind = r.Below(3);
    for (int i = 0; i < addresses; ++i)
        FillAddress(contact, (firstKind + i) % 3);

    contact.Gender = r.Pick(w.genders);
    if (r.Chance(0.4))
        contact.Birthday = r.Chance(0.01) ? RandomDate(1850, 1899) : RandomDate(1935, 2012);
    contact.SignificantOther = r.PickOrEmpty(0.15, w.significantOthers);
    if (r.Chance(0.1))
        contact.Anniversary = RandomDate(1970, 2024);
    if (r.Chance(0.4))
        contact.Notes = NoteLines();
    contact.Categories.Clear();
    for (int i = r.Below(4); i > 0; --i)
        contact.Categories.Add(r.Pick(w.categories));
    contact.Keywords.Clear();
    for (int i = r.Below(4); i > 0; --i)
        contact.Keywords.Add(r.Pick(w.keywords));
    contact.Priority = r.Pick(w.priorities);
    contact.Sensitivity = r.Pick(w.sensitivities);
    contact.Created = RandomStamp(DateToSerial(QDate(2005, 1, 1)));
    contact.Modified = RandomStamp(contact.Created);
    contact.Accessed = r.Chance(0.5) ? RandomStamp(contact.Modified) : 0;
    contact.Synced = r.Chance(0.3) ? RandomStamp(contact.Modified) : 0;
}

void ContactGenerator::FillNearDuplicate(TContactData &contact, const TContactData &source)
{
    // The same person entered again or imported from elsewhere: names stay, a few
    // details drift.
    const Vocabulary &w = Words();
    Random &r = m_random;
    contact = source;
    switch (r.Below(3)) {
    case 0: // phone typed without spaces
        contact.HomePhone.remove(QLatin1Char(' '));
        contact.WorkPhone.remove(QLatin1Char(' '));
        break;
    case 1: // e-mail in another letter case
        contact.PersonalEmail = contact.PersonalEmail.toUpper();
        contact.WorkEmail = contact.WorkEmail.toUpper();
        break;
    default: // a new number
        contact.PersonalMobilePhone = Phone(QStringLiteral("+1"));
        break;
    }
    if (r.Chance(0.3))
        contact.Company = r.Chance(0.5) ? QString() : r.Pick(w.companies);
    if (r.Chance(0.3))
        contact.MiddleName = contact.MiddleName.isEmpty() ? r.Pick(w.middleNames) : QString();
    if (r.Chance(0.3))
        FillAddress(contact, r.Below(3)); // moved
    if (r.Chance(0.4))
        contact.Notes.append(r.Pick(w.noteLines));
    if (r.Chance(0.3))
        contact.Categories.Add(r.Pick(w.categories));
    if (r.Chance(0.2))
        contact.Birthday = 0;
    contact.Created = RandomStamp(DateToSerial(QDate(2005, 1, 1)));
    contact.Modified = RandomStamp(contact.Created);
    contact.Accessed = 0;
    contact.Synced = r.Chance(0.3) ? RandomStamp(contact.Modified) : 0;
}

namespace {
// "Kalo", "Mirata", ...: a different pronounceable word for every number.
QString MadeUpSurname(int number)
{
    static const char16_t *const syllables[] = {u"ka", u"lo", u"mi", u"ra", u"ta", u"ne", u"so", u"vu",
                                                 u"de", u"pi", u"gu", u"ze", u"bo", u"fa", u"hi", u"ju"};
    QString word;
    do {
        word += QString::fromUtf16(syllables[number % 16]);
        number /= 16;
    } while (number > 0);
    word[0] = word[0].toUpper();
    return word;
}
} // namespace

void ContactGenerator::FillName(TContactData &contact)
{
    const Vocabulary &w = Words();
    Random &r = m_random;
    m_region = PickRegion(r);
    const Region &region = Regions()[size_t(m_region)];
    contact.Title = r.PickOrEmpty(0.15, w.titles);
    contact.FirstName = r.PickOrEmpty(0.97, region.firstNames);
    contact.MiddleName = r.PickOrEmpty(0.2, w.middleNames);
    contact.LastName = r.PickOrEmpty(0.95, region.lastNames);
    contact.Suffix = r.PickOrEmpty(0.03, w.suffixes);
    contact.Nickname = r.PickOrEmpty(0.1, w.nicknames);
    if (m_distinctNames)
        contact.LastName += QLatin1Char(' ') + MadeUpSurname(m_originals++);
    if (r.Chance(0.3))
        contact.Initials = Initials(contact);
}

void ContactGenerator::FillAddress(TContactData &contact, int kind)
{
    const AddressFields &a = kAddress[kind];
    Random &r = m_random;
    const Region &region = NearbyRegion(r, m_region);
    contact.*a.street = r.Chance(0.9) ? Street() : QString();
    contact.*a.poBox = r.Chance(0.05) ? QStringLiteral("PO Box %1").arg(r.Between(1, 9999)) : QString();
    contact.*a.city = r.Pick(region.cities);
    QString postal;
    for (int i = 0; i < region.postalDigits; ++i)
        postal.append(QChar(u'0' + r.Below(10)));
    contact.*a.postalCode = r.Chance(0.85) ? postal : QString();
    contact.*a.state = r.PickOrEmpty(0.6, region.states);
    contact.*a.country = r.Chance(0.8) ? region.country : QString();
    if (r.Chance(0.2)) {
        contact.*a.coordinates = QStringLiteral("%1,%2,0")
                                     .arg(QString::number(r.Between(-1800000, 1800000) / 10000.0, 'f', 4),
                                          QString::number(r.Between(-900000, 900000) / 10000.0, 'f', 4));
        contact.*a.coordinatesUpdated = RandomStamp(DateToSerial(QDate(2015, 1, 1)));
    }
    contact.*a.phone = r.Chance(0.7) ? Phone(region.phonePrefix) : QString();
    contact.*a.fax = r.Chance(0.1) ? Phone(region.phonePrefix) : QString();
    contact.*a.mobile = r.Chance(0.5) ? Phone(region.phonePrefix) : QString();
    contact.*a.pager = r.Chance(0.02) ? QString::number(r.Between(1000, 99999)) : QString();
    const QString &mailDomain = kind == 0 ? region.domain : r.Pick(Words().emailDomains);
    contact.*a.email = r.Chance(0.6) ? EmailFor(contact, mailDomain) : QString();
    contact.*a.im = r.Chance(0.1) ? EmailFor(contact, QStringLiteral("im.example")) : QString();
    contact.*a.website = r.Chance(0.25)
                             ? QStringLiteral("https://www.%1/%2").arg(region.domain, AsciiHandle(contact.LastName))
                             : QString();
    contact.*a.location = r.PickOrEmpty(0.1, Words().locations);
}

QString ContactGenerator::Street()
{
    Random &r = m_random;
    const Region &region = NearbyRegion(r, m_region);
    QString street = r.Pick(region.streets);
    street.replace(QLatin1Char('#'), QString::number(r.Between(1, 250)));
    // Second lines come ';'-joined from imports, or as real line breaks from the
    // address dialog.
    const QString second = QStringLiteral("Apt %1").arg(r.Between(1, 40));
    switch (r.Below(10)) {
    case 0:
    case 1:
    case 2:
        return street + QLatin1Char(';') + second;
    case 3:
        return street + QLatin1Char('\n') + second;
    case 4:
        return street + QStringLiteral("\r\n") + second + QStringLiteral("\nBuilding B");
    default:
        return street;
    }
}

QString ContactGenerator::Phone(const QString &prefix)
{
    QString phone = prefix;
    for (int group = 0; group < 3; ++group) {
        phone.append(QLatin1Char(' '));
        for (int i = group == 0 ? 3 : 4; i > 0; --i)
            phone.append(QChar(u'0' + m_random.Below(10)));
    }
    return phone;
}

QString ContactGenerator::EmailFor(const TContactData &contact, const QString &domain)
{
    QString handle = AsciiHandle(contact.FirstName);
    const QString last = AsciiHandle(contact.LastName);
    if (!handle.isEmpty() && !last.isEmpty())
        handle += QLatin1Char('.');
    handle += last;
    if (handle.isEmpty())
        handle = QStringLiteral("user%1").arg(m_random.Between(1, 99999));
    return handle + QLatin1Char('@') + domain;
}

QStringList ContactGenerator::NoteLines()
{
    QStringList lines;
    for (int i = m_random.Between(1, 6); i > 0; --i)
        lines.append(m_random.Pick(Words().noteLines));
    return lines;
}

TDateTime ContactGenerator::RandomDate(int fromYear, int toYear)
{
    const TDateTime from = DateToSerial(QDate(fromYear, 1, 1));
    const TDateTime to = DateToSerial(QDate(toYear + 1, 1, 1));
    const TDateTime date = from + m_random.Below(int(to - from));
    return date == 0 ? 1 : date; // 0 would read as "no date"
}

TDateTime ContactGenerator::RandomStamp(TDateTime notBefore)
{
    // A later day, in whole seconds and summed as the reader does, so a stamp
    // comes back from a book bit for bit.
    const int day = int(std::floor(notBefore)) + 1 + m_random.Below(std::max(1, int(kNow - notBefore)));
    return day + m_random.Below(86400) * 1000 / 86400000.0;
}

} // namespace cardolin::bench
