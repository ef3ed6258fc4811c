// The browser engine's sandbox as a normal user gets it, the program run for real.
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <optional>
#include <vector>

#include "core/layout/panes.h"
#include "harness.h"
#include "listing_pages.h"
#include "program_run.h"

namespace quintavia::e2e {
namespace {

using namespace Qt::Literals::StringLiterals;

QString ReadTrimmed(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()).trimmed()
                                          : QString();
}

// A field of /proc/<pid>/status, such as "Seccomp"; empty when it cannot be read.
QString StatusField(qint64 pid, const QString& name) {
    const QString status = ReadTrimmed(u"/proc/%1/status"_s.arg(pid));
    for (const QString& line : status.split(u'\n'))
        if (line.startsWith(name + u':')) return line.mid(name.size() + 1).trimmed();
    return {};
}

struct Process {
    qint64 pid = 0;
    qint64 parent = 0;
    QStringList arguments;
};

// Every process that descends from `root`, root included.
std::vector<Process> Tree(qint64 root) {
    QHash<qint64, Process> all;
    QDirIterator entries(u"/proc"_s, QDir::Dirs | QDir::NoDotAndDotDot);
    while (entries.hasNext()) {
        bool number = false;
        const qint64 pid = entries.next().section(u'/', -1).toLongLong(&number);
        if (!number) continue;
        // The command name stands in parentheses and may itself hold them; the parent follows.
        const QString stat = ReadTrimmed(u"/proc/%1/stat"_s.arg(pid));
        const QStringList after =
            stat.mid(stat.lastIndexOf(u')') + 1).split(u' ', Qt::SkipEmptyParts);
        if (after.size() < 2) continue;
        QFile cmdline(u"/proc/%1/cmdline"_s.arg(pid));
        QStringList arguments;
        if (cmdline.open(QIODevice::ReadOnly))
            for (const QByteArray& argument : cmdline.readAll().split('\0'))
                if (!argument.isEmpty()) arguments << QString::fromLocal8Bit(argument);
        all.insert(pid, {pid, after[1].toLongLong(), arguments});
    }
    std::vector<Process> tree;
    if (!all.contains(root)) return tree;
    tree.push_back(all.value(root));
    for (std::size_t next = 0; next < tree.size(); ++next)
        for (const Process& process : all)
            if (process.parent == tree[next].pid) tree.push_back(process);
    return tree;
}

// The engine rewrites its processes' command lines, at times into one argument that holds
// them all: the program is what comes before the first blank.
bool IsEngineProcess(const Process& process) {
    return !process.arguments.isEmpty() &&
           process.arguments.front().section(u' ', 0, 0).endsWith(u"/QtWebEngineProcess"_s);
}

// The page processes of the program: the engine's processes forked by another of its
// processes, with none of their own, and not under the zygote that starts helpers outside the
// sandbox by design.
std::vector<qint64> PageProcesses(const std::vector<Process>& tree) {
    QHash<qint64, const Process*> byPid;
    for (const Process& process : tree) byPid.insert(process.pid, &process);
    std::vector<qint64> pages;
    for (const Process& process : tree) {
        const Process* parent = byPid.value(process.parent);
        if (!IsEngineProcess(process) || !parent || !IsEngineProcess(*parent)) continue;
        bool hasChildren = false;
        for (const Process& other : tree) hasChildren = hasChildren || other.parent == process.pid;
        bool unsandboxedZygote = false;
        for (const Process* up = parent; up; up = byPid.value(up->parent))
            unsandboxedZygote =
                unsandboxedZygote || up->arguments.join(u' ').contains(u"--no-zygote-sandbox"_s);
        if (!hasChildren && !unsandboxedZygote) pages.push_back(process.pid);
    }
    return pages;
}

QString Describe(const std::vector<Process>& tree) {
    QStringList lines;
    for (const Process& process : tree)
        lines << u"%1 (of %2) Seccomp %3, Uid %4: %5"_s.arg(process.pid)
                     .arg(process.parent)
                     .arg(StatusField(process.pid, u"Seccomp"_s),
                          StatusField(process.pid, u"Uid"_s).section(u'\t', 0, 0),
                          process.arguments.mid(0, 3).join(u' '));
    return lines.join(u'\n');
}

// Why the engine's sandbox cannot work here for the user that `launcher` runs commands as, or
// nothing when it can. The engine brings no setuid helper: its sandbox needs the kernel's
// seccomp filters and user namespaces open to that user, with their own process and network
// namespaces.
std::optional<QString> WhyNoSandbox(const QStringList& launcher) {
    if (StatusField(::getpid(), u"Seccomp"_s).isEmpty())
        return u"the kernel has no seccomp (no Seccomp field in /proc/self/status)"_s;
    QProcess unshare;
    const QStringList command{u"unshare"_s, u"--user"_s, u"--pid"_s,
                              u"--net"_s,   u"--fork"_s, u"true"_s};
    const QStringList full = launcher + command;
    unshare.start(full.front(), full.mid(1));
    const bool ran = unshare.waitForFinished(30000);
    if (ran && unshare.exitStatus() == QProcess::NormalExit && unshare.exitCode() == 0)
        return std::nullopt;
    const auto sysctl = [](const char* path) {
        const QString value = ReadTrimmed(QString::fromLatin1(path));
        return QString::fromLatin1(path) + u'=' + (value.isEmpty() ? u"(absent)"_s : value);
    };
    return u"user namespaces are closed to the user: `%1` failed: %2; %3, %4, %5"_s.arg(
        full.join(u' '),
        ran ? QString::fromLocal8Bit(unshare.readAllStandardError()).trimmed()
            : unshare.errorString(),
        sysctl("/proc/sys/user/max_user_namespaces"),
        sysctl("/proc/sys/kernel/unprivileged_userns_clone"),
        sysctl("/proc/sys/kernel/apparmor_restrict_unprivileged_userns"));
}

// Run as a normal user, the engine's page processes run in seccomp filter mode, whatever the
// environment said about the sandbox; the program says once that it set that aside. As root,
// the test runs the program as `nobody`, in a home of its own, from a copy of the program that
// this user can read wherever the build tree lies.
TEST(Sandbox, PageProcessesOfANormalUserFilterTheirSystemCalls) {
    Harness::instance().reset();
    const QString kTitle = u"Magazziniere"_s;
    Harness::instance().server().setHandler([&](const fixtures::Request& request) {
        const int site = fixtures::SiteForHost(request.host);
        if (site < 0) return fixtures::Response{.status = 404};
        return fixtures::Response{.body = fixtures::ListingPage(site, kTitle)};
    });
    // In /tmp, which every user may pass through, wherever TMPDIR points.
    QTemporaryDir home(u"/tmp/quintavia-sandbox-XXXXXX"_s);
    ASSERT_TRUE(home.isValid());
    QStringList launcher;
    std::optional<std::pair<uid_t, gid_t>> owner;
    if (::geteuid() == 0) {
        const passwd* nobody = ::getpwnam("nobody");
        if (!nobody) GTEST_SKIP() << "no user 'nobody' to run the program as";
        owner = std::pair{nobody->pw_uid, nobody->pw_gid};
        launcher = {u"setpriv"_s, u"--reuid=%1"_s.arg(nobody->pw_uid),
                    u"--regid=%1"_s.arg(nobody->pw_gid), u"--clear-groups"_s};
    }
    if (const std::optional<QString> why = WhyNoSandbox(launcher))
        GTEST_SKIP() << "the engine's sandbox cannot run on this machine: " << why->toStdString();

    const QString program = home.path() + u"/quintavia"_s;
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUINTAVIA_PROGRAM), program));
    ASSERT_TRUE(QFile::setPermissions(
        program, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
    for (const QString& folder : {u"config"_s, u"data"_s, u"cache"_s, u"run"_s})
        ASSERT_TRUE(QDir(home.path()).mkdir(folder));
    ASSERT_EQ(::chmod(QFile::encodeName(home.path() + u"/run"_s).constData(), 0700), 0);
    if (owner) {
        for (const QString& path :
             {home.path(), home.path() + u"/config"_s, home.path() + u"/data"_s,
              home.path() + u"/cache"_s, home.path() + u"/run"_s})
            ASSERT_EQ(::chown(QFile::encodeName(path).constData(), owner->first, owner->second), 0)
                << path.toStdString();
    }

    ProgramRun run(home.path() + u"/config"_s, home.path());
    run.setEnvironment(u"HOME"_s, home.path());
    run.setEnvironment(u"XDG_RUNTIME_DIR"_s, home.path() + u"/run"_s);
    // What a user may have inherited, and the program must set aside.
    run.setEnvironment(u"QTWEBENGINE_DISABLE_SANDBOX"_s, u"1"_s);
    run.setEnvironment(u"QTWEBENGINE_CHROMIUM_FLAGS"_s,
                       qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS") + u" --no-sandbox"_s);
    run.launchThrough(launcher, program);
    ASSERT_TRUE(run.start());
    ASSERT_TRUE(run.waitForTheFirstPages()) << run.standardError().toStdString();

    // The four pages read, each by a page process of its own; a page process just forked
    // takes its filter a moment later.
    ASSERT_TRUE(WaitFor(
        [&] {
            for (int i = 0; i < kPaneCount; ++i)
                if (support::Stored(support::SettingsPathIn(home.path() + u"/config"_s),
                                    u"Settaggio"_s, QString::number(i)) != kTitle.toUpper())
                    return false;
            return true;
        },
        30000));
    std::vector<Process> tree;
    const bool filtered = WaitFor(
        [&] {
            tree = Tree(run.processId());
            const std::vector<qint64> pages = PageProcesses(tree);
            if (pages.size() < kPaneCount) return false;
            for (qint64 pid : pages) {
                if (StatusField(pid, u"Seccomp"_s) != u"2"_s) return false;
                if (owner && !StatusField(pid, u"Uid"_s).startsWith(QString::number(owner->first)))
                    return false;
            }
            return true;
        },
        30000);
    EXPECT_TRUE(filtered) << "Page processes: one per site, each with Seccomp 2:\n"
                          << Describe(tree).toStdString();

    run.sendSignal(SIGTERM);
    ASSERT_TRUE(run.waitForExit());
    EXPECT_TRUE(run.exitedNormally());
    EXPECT_EQ(run.exitCode(), 0);
    EXPECT_EQ(run.standardError(),
              u"Quintavia: il motore del browser tiene la sua sandbox; ignorato "
              u"dall'ambiente: QTWEBENGINE_DISABLE_SANDBOX, "
              u"--no-sandbox\n"_s);
}

}  // namespace
}  // namespace quintavia::e2e
