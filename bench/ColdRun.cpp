#include "ColdRun.h"

#include "HandWrittenClient.h"
#include "controls/MessageBox.h"

#include <stowline/Stowline.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace stowline::bench {
namespace {

// The start of the one line a child prints for its parent.
const QString FiguresMarker = QStringLiteral("cold figures:");

struct Memory {
    long residentKb = 0;
    long peakKb = 0;
};

Memory memoryNow() {
    Memory memory;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmRSS:")) {
            memory.residentKb = std::stol(line.substr(6));
        } else if (line.starts_with("VmHWM:")) {
            memory.peakKb = std::stol(line.substr(6));
        }
    }
    return memory;
}

// Lowers the peak resident size to the present one, so that the peak read after the load
// belongs to the load and not to whatever the start-up freed again.
bool resetPeak() {
    std::ofstream clearRefs("/proc/self/clear_refs");
    clearRefs << "5";
    clearRefs.flush();
    return clearRefs.good();
}

// Lets the window lay itself out and paint, and deletes what was left to the event loop.
void settle() {
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

// The rows of the three lists and the entries of the three facility drop-downs, found by the
// names the component gives them.
QString listedRows(const QWidget& window) {
    QStringList counts;
    for (const char* name : {"lstRoute", "lstLocation", "lstStowline"}) {
        const auto* list = window.findChild<QAbstractItemView*>(QString::fromLatin1(name));
        counts.append(QString::number(list && list->model() ? list->model()->rowCount() : -1));
    }
    for (const char* name : {"cboFacility3", "cboFacility", "cboFacility2"}) {
        const auto* box = window.findChild<QComboBox*>(QString::fromLatin1(name));
        counts.append(QString::number(box ? box->count() : -1));
    }
    return counts.join(u',');
}

struct ColdFigures {
    double milliseconds = 0;
    double idleMb = 0;
    double peakMb = 0; // above idle
    double keptMb = 0; // above idle
    QString rows;
    int boxes = 0;
};

std::optional<ColdFigures> runChild(const QString& side, const QString& serverName) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QString::fromLatin1(ColdChildFlag), side, serverName});
    // A child's errors are shown when it failed; otherwise they are the platform's start-up
    // notes, once per child.
    if (!child.waitForFinished(300'000) || child.exitStatus() != QProcess::NormalExit ||
        child.exitCode() != 0) {
        std::fprintf(stderr, "%scold %s run failed\n", child.readAllStandardError().constData(),
                     qPrintable(side));
        return std::nullopt;
    }
    for (const QString& line : QString::fromUtf8(child.readAllStandardOutput()).split(u'\n')) {
        if (!line.startsWith(FiguresMarker)) {
            continue;
        }
        QMap<QString, QString> values;
        for (const QString& field :
             line.mid(FiguresMarker.size()).split(u' ', Qt::SkipEmptyParts)) {
            values.insert(field.section(u'=', 0, 0), field.section(u'=', 1));
        }
        const auto megabytes = [&](const char* key) {
            return values.value(QString::fromLatin1(key)).toDouble() / 1024.0;
        };
        return ColdFigures{values.value(QStringLiteral("ms")).toDouble(),
                           megabytes("idle_kb"),
                           megabytes("peak_kb"),
                           megabytes("kept_kb"),
                           values.value(QStringLiteral("rows")),
                           values.value(QStringLiteral("boxes")).toInt()};
    }
    std::fprintf(stderr, "cold %s run printed no figures\n", qPrintable(side));
    return std::nullopt;
}

struct Spread {
    double median = 0;
    double low = 0;
    double high = 0;
};

Spread spreadOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    // The upper median, as the warm rounds take it.
    return {values[values.size() / 2], values.front(), values.back()};
}

std::vector<double> seriesOf(const std::vector<ColdFigures>& runs, double ColdFigures::*figure) {
    std::vector<double> series;
    for (const ColdFigures& run : runs) {
        series.push_back(run.*figure);
    }
    return series;
}

void printFigure(const char* label, const std::vector<ColdFigures>& component,
                 const std::vector<ColdFigures>& client, double ColdFigures::*figure,
                 bool withRatio) {
    const Spread ours = spreadOf(seriesOf(component, figure));
    const Spread theirs = spreadOf(seriesOf(client, figure));
    std::printf("%-24s %7.1f (%6.1f-%6.1f)  %7.1f (%6.1f-%6.1f)", label, ours.median, ours.low,
                ours.high, theirs.median, theirs.low, theirs.high);
    if (withRatio) {
        std::vector<double> pairRatios;
        for (std::size_t i = 0; i < component.size(); ++i) {
            pairRatios.push_back(component[i].*figure / client[i].*figure);
        }
        const Spread pairs = spreadOf(pairRatios);
        std::printf("  %5.2f (pairs %.2f-%.2f)", ours.median / theirs.median, pairs.low,
                    pairs.high);
    }
    std::printf("\n");
}

} // namespace

QString loadAverages() {
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("unknown");
    }
    return QString::fromLatin1(file.readAll()).section(u' ', 0, 2);
}

int runColdChild(const QString& side, const QString& serverName) {
    int boxes = 0;
    controls::setMessageBoxPresenter([&boxes](const auto&) {
        ++boxes;
        return controls::AnswerOk;
    });
    std::unique_ptr<QWidget> window;
    std::function<std::string()> load;
    if (side == QLatin1String("component")) {
        auto component = std::make_unique<Stowline>();
        load = [&component = *component, serverName] {
            component.LoadData(serverName);
            return std::string();
        };
        window = std::move(component);
    } else if (side == QLatin1String("client")) {
        auto client = std::make_unique<HandWrittenClient>();
        load = [&client = *client, name = serverName.toStdString()] { return client.load(name); };
        window = std::move(client);
    } else {
        std::fprintf(stderr, "%s: no side named %s\n", ColdChildFlag, qPrintable(side));
        return 2;
    }
    window->show();
    settle();
    if (!resetPeak()) {
        std::fprintf(stderr, "cannot lower the peak resident size (/proc/self/clear_refs)\n");
        return 1;
    }
    const Memory idle = memoryNow();

    QElapsedTimer timer;
    timer.start();
    const std::string problem = load();
    // The layout and the repaint the new rows cause are part of what the operator waits for.
    settle();
    const double milliseconds = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    const Memory after = memoryNow();

    if (!problem.empty()) {
        std::fprintf(stderr, "cold %s run: %s\n", qPrintable(side), problem.c_str());
        return 1;
    }
    std::printf("%s ms=%.1f idle_kb=%ld peak_kb=%ld kept_kb=%ld rows=%s boxes=%d\n",
                qPrintable(FiguresMarker), milliseconds, idle.residentKb,
                after.peakKb - idle.residentKb, after.residentKb - idle.residentKb,
                qPrintable(listedRows(*window)), boxes);
    return 0;
}

bool runColdPairs(const QString& serverName, int pairs) {
    const QString component = QStringLiteral("component");
    const QString client = QStringLiteral("client");
    const QString loadAtStart = loadAverages();
    // One pair first, left out: a fresh server answers its first queries more slowly.
    if (!runChild(component, serverName) || !runChild(client, serverName)) {
        return false;
    }
    std::vector<ColdFigures> ours, theirs;
    for (int pair = 0; pair < pairs; ++pair) {
        std::optional<ColdFigures> one = runChild(component, serverName);
        std::optional<ColdFigures> other = one ? runChild(client, serverName) : std::nullopt;
        if (!other) {
            return false;
        }
        ours.push_back(*one);
        theirs.push_back(*other);
    }
    const QString loadAtEnd = loadAverages();

    const QString rows = ours.front().rows;
    bool sameRows = true;
    int boxes = 0;
    for (std::size_t i = 0; i < ours.size(); ++i) {
        sameRows = sameRows && ours[i].rows == rows && theirs[i].rows == rows;
        boxes += ours[i].boxes;
    }
    std::printf("cold: %d loads of each side, alternating, each in a fresh process, after one "
                "pair left out\n",
                pairs);
    std::printf("load average (1, 5, 15 min): %s at the start, %s at the end\n",
                qPrintable(loadAtStart), qPrintable(loadAtEnd));
    const QStringList counts = rows.split(u',');
    std::printf("listed: %s routes, %s bays, %s active centers, %s facilities per drop-down\n",
                qPrintable(counts.value(0)), qPrintable(counts.value(1)),
                qPrintable(counts.value(2)), qPrintable(counts.value(3)));
    std::printf("time: the load and the layout and repaint it causes\n");
    std::printf("%-24s %-23s  %-23s  %s\n", "median (min-max)", "LoadData", "hand-written client",
                "LoadData / client");
    printFigure("time, ms", ours, theirs, &ColdFigures::milliseconds, true);
    printFigure("above idle, peak, MB", ours, theirs, &ColdFigures::peakMb, true);
    printFigure("above idle, kept, MB", ours, theirs, &ColdFigures::keptMb, true);
    printFigure("idle process, MB", ours, theirs, &ColdFigures::idleMb, false);
    if (!sameRows) {
        std::printf("the two sides listed different rows:");
        for (std::size_t i = 0; i < ours.size(); ++i) {
            std::printf(" %s|%s", qPrintable(ours[i].rows), qPrintable(theirs[i].rows));
        }
        std::printf("\n");
    }
    if (boxes > 0) {
        std::printf("message boxes during the cold loads: %d\n", boxes);
    }
    return sameRows && boxes == 0;
}

} // namespace stowline::bench
