// Times the matching pass of a synchronisation: every account contact looked up
// by name among the book's contacts, without the network. The account holds a
// copy of every book contact in reverse order, plus some near duplicates, so
// matches, several matches and misses all occur. For contrast, the name query
// per contact (what a pass without an index would do) is timed on a sample and
// projected to the whole account.
//
//   bench_sync [--count 25000]

#include "BenchSupport.h"
#include "ContactGenerator.h"

#include "contacts/QorContacts.h"
#include "online/GoogleSync.h"
#include "support/QorRegistryEnhanced.h"
#include "support/RegistryStore.h"
#include "support/UserPrompts.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace cardolin::bench {
namespace {

constexpr double kGoalSeconds = 1.0;

int Run(int count)
{
    TQorContacts book, account;
    for (TQorContacts *side : {&book, &account})
        side->SetDisplayType(dtFirstLastName);
    ContactGenerator generator;
    generator.SetDistinctNames(true);
    generator.AddContacts(book, count);
    // The account knows each contact as already synced, so the pass only links them.
    for (auto it = book.ContactDataList().rbegin(); it != book.ContactDataList().rend(); ++it) {
        (*it)->Synced = (*it)->Modified;
        TContactData *copy = account.CreateContactData();
        account.CopyContactData(it->get(), copy, ctDefault);
        copy->Synced = (*it)->Synced;
        copy->GoogleContactID = QStringLiteral("people/c") + QString::number(account.ContactDataList().size());
    }
    MemoryRegistryStore store;
    TQorRegistryEnhanced registry(store);
    TGoogleSync sync(registry, book, account, SilentPrompts::Instance());
    sync.Action = saContribute;

    QElapsedTimer timer;
    timer.start();
    sync.MatchingPass();
    const double indexed = Seconds(timer);

    int linked = 0;
    for (const auto &contact : book.ContactDataList())
        linked += !contact->GoogleContactID.isEmpty();

    const int sample = qMin(count, 200);
    timer.restart();
    for (int i = 0; i < sample; ++i) {
        const TContactData *a = account.ContactDataList()[size_t(i)].get();
        book.QueryContactDataList(account.GetDisplayNameFromContactData(a, dtFirstLastName), qtDisplayName,
                                  dtFirstLastName);
    }
    const double perQuery = Seconds(timer) / sample;

    std::printf("Matching %d account contacts against %d book contacts (load %s)\n", count, count,
                qPrintable(LoadAverage()));
    std::printf("  indexed pass:        %.3f s (goal %.1f s: %s)\n", indexed, kGoalSeconds,
                indexed <= kGoalSeconds ? "met" : "MISSED");
    std::printf("  first name matched: \"%s\"\n",
                qPrintable(book.GetDisplayNameFromContactData(book.ContactDataList().front().get(), dtFirstLastName)));
    std::printf("  book contacts linked: %d, warnings (names found more than once): %d\n", linked,
                int(sync.Warnings().size()));
    std::printf("  a query per contact: %.1f s projected from %d queries\n", perQuery * count, sample);
    return indexed <= kGoalSeconds ? 0 : 1;
}

} // namespace
} // namespace cardolin::bench

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    int count = 25000;
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--count")); at > 0 && at + 1 < arguments.size())
        count = arguments[at + 1].toInt();
    return cardolin::bench::Run(qMax(1, count));
}
