// The data-set readers on arbitrary text, filling the widgets of one component that lives for
// the whole run; the first byte picks the reader. Boxes are answered at once. The list readers
// convert nothing: a text that does not parse is reported once (an event-log entry), and any
// other report is a fault.
#include "controls/MessageBox.h"
#include "readers/Readers.h"
#include "widget/StowlinePrivate.h"
#include "xml/XmlDocument.h"

#include <stowline/EventLog.h>

#include <QApplication>
#include <QWidget>
#include <cstdint>
#include <cstdlib>
#include <memory>

using namespace stowline;

namespace {

struct Harness {
    std::unique_ptr<QApplication> app;
    std::unique_ptr<QWidget> owner;
    std::unique_ptr<StowlinePrivate> component;
    int failures = 0;
};

// Built once and never destroyed: at exit Qt's own globals go before this one would, and
// widgets that outlive them crash on the way out.
union ImmortalHarness {
    ImmortalHarness() : harness() {}
    ~ImmortalHarness() {}
    Harness harness;
};
ImmortalHarness immortal;
Harness& harness = immortal.harness;

} // namespace

// fontconfig loses a few hundred bytes once, when the first text is laid out: its own leak,
// not the readers'.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    harness.app = std::make_unique<QApplication>(*argc, *argv);
    controls::setMessageBoxPresenter([](const controls::MessageBoxRequest& request) {
        return request.style == controls::StyleYesNo ? controls::AnswerYes : controls::AnswerOk;
    });
    setEventLogSink([](const QString&) { ++harness.failures; });
    harness.owner = std::make_unique<QWidget>();
    harness.component = std::make_unique<StowlinePrivate>(harness.owner.get());
    harness.component->UserControl_Initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    state::ComponentState& state = harness.component->state;
    const QByteArray text(reinterpret_cast<const char*>(data + 1),
                          static_cast<qsizetype>(size - 1));
    harness.failures = 0;
    switch (data[0] % 5) {
    case 0:
        readers::RefreshRouteData(state, text);
        break;
    case 1:
        readers::RefreshLocationData(state, text);
        break;
    case 2:
    case 3:
        readers::RefreshStowlineData(state, text, data[0] % 5 == 3);
        break;
    default:
        // Keys that are not numbers fail here by design, reported like any caught failure.
        readers::RefreshFacilityDrop(state, text);
        return 0;
    }
    xml::XmlDocument document;
    const bool unreadable = !text.isEmpty() && !document.loadForReading(QByteArray(text));
    if (harness.failures != (unreadable ? 1 : 0)) {
        std::abort();
    }
    return 0;
}
