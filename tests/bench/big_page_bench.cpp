// The program's own memory while a pane reads a page whose markup is enormous: the real
// window and engine against the fixture sites. The page is small on the wire and grows itself
// to QUINTAVIA_BIG_PAGE_CHARS characters (100 million by default) once loaded, after its newest
// listing. Prints its figures; asserts nothing on memory.
//   big_page_bench [--gtest_filter=...]   (QT_QPA_PLATFORM=offscreen by default)
#include <gtest/gtest.h>

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

#include "harness.h"
#include "listing_pages.h"

namespace quintavia::e2e {
namespace {

// A field of /proc/self/status in MiB, or -1.
double StatusMiB(const QByteArray& field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

// From here on VmHWM is the peak since now; false where the kernel does not allow it.
bool ResetPeak() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

TEST(BigPage, MainProcessMemoryWhileAHugePageIsRead) {
    const qint64 chars = qEnvironmentVariableIsSet("QUINTAVIA_BIG_PAGE_CHARS")
                             ? qEnvironmentVariable("QUINTAVIA_BIG_PAGE_CHARS").toLongLong()
                             : 100'000'000;
    Harness& harness = Harness::instance();
    harness.reset();
    bool big = false;
    harness.server().setHandler([&](const fixtures::Request& request) {
        const int site = fixtures::SiteForHost(request.host);
        if (site < 0) return fixtures::Response{.status = 404};
        QByteArray page = fixtures::ListingPage(site, QStringLiteral("Cuoco"));
        if (site == 1 && big) {
            page = fixtures::ListingPage(1, QStringLiteral("Pagina enorme"));
            page.insert(page.lastIndexOf("</body>"),
                        "<script>document.body.appendChild(document.createTextNode('x'.repeat(" +
                            QByteArray::number(chars) + ")));</script>");
        }
        return fixtures::Response{.body = page};
    });

    auto window = StartWindow();
    Captures captures(*window);
    ASSERT_TRUE(WaitFor([&] { return captures.eachAtLeast(1); }, 60000));
    const double before = StatusMiB("VmRSS");
    const bool peakReset = ResetPeak();

    big = true;
    QElapsedTimer clock;
    clock.start();
    window->pane(1)->reload();
    ASSERT_TRUE(WaitFor([&] { return captures.count(1) >= 2; }, 300000));
    const qint64 captureMs = clock.elapsed();
    const double peak = StatusMiB("VmHWM");
    WaitFor([] { return false; }, 3000);  // what stays once the capture is handled
    const double after = StatusMiB("VmRSS");

    std::printf(
        "\nJobrapido page grown to %lld characters; markup handed over: %lld units\n",
        static_cast<long long>(chars),
        static_cast<long long>(captures.last(1).markup ? captures.last(1).markup->size() : -1));
    std::printf("  main process RSS before:  %8.1f MiB\n", before);
    std::printf("  main process peak:        %8.1f MiB%s\n", peak,
                peakReset ? "" : "  (since start: the peak could not be reset)");
    std::printf("  main process RSS after:   %8.1f MiB\n", after);
    std::printf("  reload to capture:        %8lld ms\n", static_cast<long long>(captureMs));
    EXPECT_EQ(window->findChild<QComboBox*>(QStringLiteral("logBox"))->currentText(),
              QStringLiteral("Jobrapido: PAGINA ENORME"));
}

}  // namespace
}  // namespace quintavia::e2e
