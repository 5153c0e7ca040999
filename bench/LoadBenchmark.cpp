// Measures LoadData end to end against a large generated operation, and the floor made of its
// unavoidable parts: the raw transfer of the four answers, one XML parse of each, and filling
// bare list widgets with the same rows. Prints each time, the ratios (LoadData to the floor,
// and to the transfer and parse alone, what no client can avoid) and the peak memory, and
// for comparison the time a general-purpose SOAP toolkit (zeep_peer.py) takes to fetch and
// read the same four answers. The parts are measured round by round, each round taking every
// one of them once, so that a busy spell on a shared machine weighs on all of them alike.
//
// With --cold it first measures the load an operator waits for, the first in a process:
// LoadData and a hand-written client, each alone in a fresh process (ColdRun.h).
#include "ColdRun.h"
#include "SoapConnection.h"
#include "answer/Unwrapping.h"
#include "controls/FileSaving.h"
#include "controls/ListView.h"
#include "controls/MessageBox.h"
#include "pages/ListCommands.h"
#include "readers/DataSetRead.h"
#include "service/QueryOperation.h"
#include "service/ServiceClient.h"

#include <stowline/ServiceNamespace.h>
#include <stowline/Stowline.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <curl/curl.h>
#include <pugixml.hpp>
#include <sstream>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <sys/resource.h>
#include <vector>

namespace {

using stowline::service::QueryOperation;

constexpr QueryOperation Queries[] = {
    QueryOperation::GetFacilities, QueryOperation::GetRelativeData,
    QueryOperation::GetDeliveryRoute, QueryOperation::GetStorageLocation};

size_t appendTo(char* data, size_t size, size_t count, void* target) {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

// The same POST the component makes, with nothing done to the answer.
std::string rawTransfer(const QString& url, const QString& action, const std::string& body) {
    std::string answer;
    CURL* curl = curl_easy_init();
    curl_slist* headers = nullptr;
    headers = curl_slist_append(headers, "Content-Type: text/xml; charset=utf-8");
    const QByteArray soapAction = "SOAPAction: " + action.toUtf8();
    headers = curl_slist_append(headers, soapAction.constData());
    headers = curl_slist_append(headers, "Expect:");
    const QByteArray urlBytes = url.toUtf8();
    curl_easy_setopt(curl, CURLOPT_URL, urlBytes.constData());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendTo);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &answer);
    curl_easy_perform(curl);
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return answer;
}

struct Rows {
    std::vector<QStringList> routes, bays, centers;
};

Rows rowsOf(stowline::service::ServiceClient& client) {
    Rows rows;
    const auto read = [](const QByteArray& text, std::initializer_list<const char*> columns,
                         std::vector<QStringList>& into, int filterColumn = -1) {
        const stowline::state::Utf8Table table =
            stowline::readers::readDataSet(text, std::vector<const char*>(columns)).rows;
        for (int row = 0; row < table.rows(); ++row) {
            // LoadData lists the active centers only, so the floor fills the same rows.
            if (filterColumn >= 0 && table.cell(row, std::size_t(filterColumn)) != "2") {
                continue;
            }
            QStringList cells;
            for (std::size_t column = 0; column < columns.size(); ++column) {
                if (static_cast<int>(column) != filterColumn) {
                    cells.append(table.text(row, column));
                }
            }
            into.push_back(cells);
        }
    };
    read(client.queryDataSet(QueryOperation::GetDeliveryRoute),
         {"Route", "Description", "Facility"}, rows.routes);
    read(client.queryDataSet(QueryOperation::GetStorageLocation),
         {"RouteName", "Description", "Facility"}, rows.bays);
    read(client.queryDataSet(QueryOperation::GetRelativeData),
         {"CenterID", "CenterName", "CenterRoute", "CenterLocation", "Facility", "TOVAFacilityID",
          "Route", "DeliveryRouteID", "Status"},
         rows.centers, 8);
    return rows;
}

void fillBareList(QTreeWidget& list, const std::vector<QStringList>& rows) {
    list.clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (const QStringList& row : rows) {
        items.append(new QTreeWidgetItem(row));
    }
    list.addTopLevelItems(items);
    list.sortItems(0, Qt::AscendingOrder);
}

double millisecondsOf(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Runs the zeep peer against the same server for two runs and gives the second, warm one, or
// nothing when it failed. Its other lines are printed when asked for.
std::optional<double> zeepMilliseconds(const QString& serverName, bool printLines) {
    QProcess peer;
    peer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    peer.start(QStringLiteral("/usr/bin/python3"),
               {QStringLiteral(STOWLINE_ZEEP_PEER), serverName, QStringLiteral("2")});
    if (!peer.waitForFinished(-1) || peer.exitStatus() != QProcess::NormalExit ||
        peer.exitCode() != 0) {
        return std::nullopt;
    }
    const QString marker = QStringLiteral("zeep runs ms: ");
    std::optional<double> warm;
    for (const QString& line : QString::fromUtf8(peer.readAllStandardOutput()).split(u'\n')) {
        if (line.startsWith(marker)) {
            warm = line.mid(marker.size()).split(u' ').last().toDouble();
        } else if (printLines && !line.isEmpty() &&
                   !line.startsWith(QStringLiteral("zeep median"))) {
            std::printf("%s\n", qPrintable(line));
        }
    }
    return warm;
}

} // namespace

// One key pressed in a widget, and everything it causes handled and painted.
double keystrokeMilliseconds(QWidget& widget, int key, const QString& text) {
    return millisecondsOf([&] {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(&widget, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(&widget, &release);
        QApplication::processEvents();
    });
}

// Keystrokes in the centers' filter box over the active centers, shown on screen: "center 2",
// then a word that leaves one row, then Esc, for a few rounds. The first keystroke after a load
// folds the rows' texts for searching; the median is what typing costs afterwards.
void printFilterTimes(stowline::Stowline& component) {
    component.show();
    component.findChild<QTabWidget*>(QStringLiteral("SSTab1"))->setCurrentIndex(2);
    auto& box = *component.findChild<QLineEdit*>(QStringLiteral("txtCenterFilter"));
    auto& list = *component.findChild<stowline::controls::ListView*>(QStringLiteral("lstStowline"));
    box.setFocus();
    QApplication::processEvents();
    const QString typed = QStringLiteral("center 2 20417");
    const qsizetype oneRowAt = typed.lastIndexOf(QLatin1Char(' '));
    std::vector<double> keystrokes;
    std::vector<double> clears;
    double first = 0;
    int broadRows = 0;
    int narrowRows = 0;
    constexpr int Rounds = 5;
    for (int round = 0; round < Rounds; ++round) {
        for (qsizetype i = 0; i < typed.size(); ++i) {
            const QChar c = typed.at(i);
            const double milliseconds =
                keystrokeMilliseconds(box, c.toUpper().unicode(), QString(c));
            (round == 0 && i == 0 ? first : keystrokes.emplace_back()) = milliseconds;
            if (i + 1 == oneRowAt) {
                broadRows = list.count();
            }
        }
        narrowRows = list.count();
        clears.push_back(keystrokeMilliseconds(box, Qt::Key_Escape, QString()));
    }
    std::sort(keystrokes.begin(), keystrokes.end());
    std::printf("filter keystrokes in txtCenterFilter over %d centers (\"%s\": %d rows, then one "
                "word: %d): median %.2f ms, slowest %.2f ms of %zu; the first after the load "
                "%.1f ms (folds the texts); Esc back to all: median %.2f ms\n",
                list.totalCount(), qPrintable(typed.left(oneRowAt)), broadRows, narrowRows,
                median(keystrokes), keystrokes.back(), keystrokes.size(), first, median(clears));
    component.hide();
}

// The centers list with every center shown, written as CSV the way "Export as CSV…" writes it.
void printExportTime(stowline::Stowline& component) {
    component.findChild<QRadioButton*>(QStringLiteral("optAllCenters"))->click();
    auto& list = *component.findChild<stowline::controls::ListView*>(QStringLiteral("lstStowline"));
    QTemporaryDir folder;
    QString problem;
    const double milliseconds = millisecondsOf([&] {
        problem = stowline::controls::saveFile(folder.filePath(QStringLiteral("centers.csv")),
                                               stowline::pages::listAsCsv(list));
    });
    std::printf("export of the %d listed centers as CSV: %.1f ms%s\n", list.count(), milliseconds,
                problem.isEmpty() ? "" : qPrintable(QStringLiteral(" (failed: ") + problem + ")"));
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QStringList arguments = QApplication::arguments();
    if (arguments.size() == 4 && arguments.at(1) == QLatin1String(stowline::bench::ColdChildFlag)) {
        return stowline::bench::runColdChild(arguments.at(2), arguments.at(3));
    }
    const bool cold = arguments.size() > 1 && arguments.at(1) == QLatin1String("--cold");
    if (cold) {
        arguments.removeAt(1);
    }
    const int centers = arguments.size() > 1 ? arguments.at(1).toInt() : 30000;
    const int runs = std::max(1, arguments.size() > 2 ? arguments.at(2).toInt() : cold ? 7 : 5);
    int boxes = 0;
    stowline::controls::setMessageBoxPresenter([&boxes](const auto&) {
        ++boxes;
        return stowline::controls::AnswerOk;
    });

    QTemporaryDir directory;
    QProcess server;
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.start(QStringLiteral(STOWLINE_SERVER_EXECUTABLE),
                 {QStringLiteral("--db"), directory.filePath(QStringLiteral("bench.db")),
                  QStringLiteral("--generate"), QString::number(centers),
                  QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0")});
    if (!server.waitForReadyRead(120'000)) {
        std::fprintf(stderr, "stowline-server did not start\n");
        return 1;
    }
    const QString serverName = QString::fromUtf8(server.readLine()).trimmed();

    stowline::service::ServiceClient client;
    client.setServerName(serverName);
    const Rows rows = rowsOf(client);
    std::printf(
        "operation: %d centers requested; %zu routes, %zu bays, %zu active centers listed\n",
        centers, rows.routes.size(), rows.bays.size(), rows.centers.size());
    if (cold && !stowline::bench::runColdPairs(serverName, runs)) {
        server.terminate();
        server.waitForFinished(10'000);
        return 1;
    }

    std::vector<std::string> bodies;
    for (QueryOperation query : Queries) {
        pugi::xml_document envelope;
        envelope.load_string(
            stowline::bench::queryEnvelope(operationName(query).toStdString()).c_str());
        std::ostringstream text;
        envelope.save(text, "", pugi::format_raw);
        bodies.push_back(text.str());
    }
    std::vector<std::string> answers(4);
    QTreeWidget routes, bays, centerList;
    routes.setColumnCount(3);
    bays.setColumnCount(3);
    centerList.setColumnCount(8);
    stowline::Stowline component;
    std::vector<double> transfers, parses, fills, loads, zeeps;
    std::vector<double> floorRatios, networkAndParserRatios, zeepRatios;
    bool zeepFailed = false;
    // Two rounds more than asked for, left out: the first answers of a fresh server and the
    // first loads into fresh lists take up to twice as long while memory is first touched.
    constexpr int WarmUpRounds = 2;
    for (int round = 0; round < runs + WarmUpRounds; ++round) {
        transfers.push_back(millisecondsOf([&] {
            for (std::size_t i = 0; i < 4; ++i) {
                answers[i] = rawTransfer(client.asmxUrl(),
                                         client.serviceNamespace() +
                                             stowline::service::operationName(Queries[i]),
                                         bodies[i]);
            }
        }));
        parses.push_back(millisecondsOf([&] {
            for (const std::string& answer : answers) {
                pugi::xml_document document;
                document.load_buffer(answer.data(), answer.size());
            }
        }));
        fills.push_back(millisecondsOf([&] {
            fillBareList(routes, rows.routes);
            fillBareList(bays, rows.bays);
            fillBareList(centerList, rows.centers);
        }));
        loads.push_back(millisecondsOf([&] { component.LoadData(serverName); }));
        const std::optional<double> zeep = zeepMilliseconds(serverName, round == 0);
        if (!zeep) {
            zeepFailed = true;
            break;
        }
        zeeps.push_back(*zeep);
        floorRatios.push_back(loads.back() / (transfers.back() + parses.back() + fills.back()));
        networkAndParserRatios.push_back(loads.back() / (transfers.back() + parses.back()));
        zeepRatios.push_back(*zeep / loads.back());
    }
    if (zeepFailed) {
        std::printf("zeep peer: failed (see its errors above)\n");
        server.terminate();
        server.waitForFinished(10'000);
        return 1;
    }
    for (std::vector<double>* series : {&transfers, &parses, &fills, &loads, &zeeps, &floorRatios,
                                        &networkAndParserRatios, &zeepRatios}) {
        series->erase(series->begin(), series->begin() + WarmUpRounds);
    }
    const double transfer = median(transfers);
    const double parse = median(parses);
    const double fill = median(fills);
    const double floor = transfer + parse + fill;
    const double endToEnd = median(loads);
    const double zeep = median(zeeps);

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::size_t answerBytes = 0;
    for (const std::string& answer : answers) {
        answerBytes += answer.size();
    }
    std::printf("answers: %.1f MB in all\n", static_cast<double>(answerBytes) / 1e6);
    std::printf("medians of %d rounds after %d to warm up, each round taking every part once:\n",
                runs, WarmUpRounds);
    std::printf("floor: transfer %.1f ms + parse %.1f ms + fill and sort %.1f ms = %.1f ms\n",
                transfer, parse, fill, floor);
    std::printf("LoadData end to end: %.1f ms\n", endToEnd);
    std::printf("zeep peer, same four answers read into rows: %.1f ms (a warm run per round)\n",
                zeep);
    std::printf("ratio end-to-end / floor: %.2f (rounds: %.2f to %.2f)\n", endToEnd / floor,
                *std::min_element(floorRatios.begin(), floorRatios.end()),
                *std::max_element(floorRatios.begin(), floorRatios.end()));
    // What no client can avoid: receiving the four answers and parsing each once.
    std::printf("ratio end-to-end / (transfer + parse): %.2f (rounds: %.2f to %.2f)\n",
                endToEnd / (transfer + parse),
                *std::min_element(networkAndParserRatios.begin(), networkAndParserRatios.end()),
                *std::max_element(networkAndParserRatios.begin(), networkAndParserRatios.end()));
    std::printf("ratio zeep / LoadData: %.2f (rounds: %.2f to %.2f)\n", zeep / endToEnd,
                *std::min_element(zeepRatios.begin(), zeepRatios.end()),
                *std::max_element(zeepRatios.begin(), zeepRatios.end()));
    std::printf("peak resident memory: %.1f MB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    printFilterTimes(component);
    printExportTime(component);
    std::printf("message boxes during the run: %d\n", boxes);
    if (cold) {
        std::printf("load average (1, 5, 15 min) after the warm rounds: %s\n",
                    qPrintable(stowline::bench::loadAverages()));
    }
    server.terminate();
    server.waitForFinished(10'000);
    return boxes == 0 ? 0 : 1;
}
