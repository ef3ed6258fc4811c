#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <map>

#include "csv_reader.h"
#include "notifying_sites.h"
#include "shell/app/program_start.h"
#include "store/history_file.h"
#include "store/listing_memory_file.h"

namespace quintavia::e2e {

// A window started with a sites file beside the harness's settings file, against the scripted
// default sites and, at the hosts a test gives, pages of its own; with no history and no
// listings seen before.
class SitesFileTest : public NotifyingSitesTest {
  protected:
    void SetUp() override {
        NotifyingSitesTest::SetUp();
        ForgetFiles();
        Harness::instance().server().setHandler(
            [this, scripted = sites.handler()](const fixtures::Request& request) {
                const auto page = pages.find(request.host.toLower());
                if (page == pages.end()) return scripted(request);
                return fixtures::Response{.body = page->second};
            });
    }
    void TearDown() override {
        NotifyingSitesTest::TearDown();
        ForgetFiles();
    }

    void ForgetFiles() const {
        QFile::remove(sitesPath);
        QFile::remove(historyPath);
        QFile::remove(historyPath + QStringLiteral(".1"));
        QFile::remove(ListingMemoryFile::UserPath());
    }

    bool WriteSitesFile(const QString& text) const {
        QDir().mkpath(QFileInfo(sitesPath).path());
        QFile file(sitesPath);
        return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) == text.toUtf8().size();
    }

    // The history's listings, without the heading.
    QList<QStringList> History() const {
        QFile file(historyPath);
        if (!file.open(QIODevice::ReadOnly)) return {};
        QList<QStringList> rows =
            support::ReadCsv(QString::fromUtf8(file.readAll())).value_or(QList<QStringList>{});
        if (!rows.isEmpty()) rows.removeFirst();
        return rows;
    }

    std::map<QByteArray, QByteArray> pages;  // by host
    const QString sitesPath = SitesPathBeside(Harness::instance().settingsPath());
    const QString historyPath = HistoryFile::UserPath();
};

}  // namespace quintavia::e2e
