// Embeds the installed component the way a host would and checks what a host relies on:
// the design size, the version (Version.h's too), the record types and calling the methods by
// name.
// Prints the path of the loaded library so that the driver can check it is the installed one.
#include <stowline/EventLog.h>
#include <stowline/Records.h>
#include <stowline/ServiceNamespace.h>
#include <stowline/Stowline.h>
#include <stowline/Version.h>

#include <QApplication>
#include <QLabel>
#include <QMetaObject>
#include <cstdio>
#include <dlfcn.h>
#include <string_view>

// Version.h agrees with the package and with itself.
#define QUOTED(x) #x
#define DOTTED(a, b, c) QUOTED(a) "." QUOTED(b) "." QUOTED(c)
static_assert(std::string_view(STOWLINE_VERSION_STRING) == STOWLINE_PACKAGE_VERSION &&
              std::string_view(DOTTED(STOWLINE_VERSION_MAJOR, STOWLINE_VERSION_MINOR,
                                      STOWLINE_VERSION_PATCH)) == STOWLINE_VERSION_STRING);

namespace {

int failures = 0;

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "FAILED: %s\n", what);
        ++failures;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);

    stowline::setEventLogSink([](const QString&) {});
    {
        stowline::Stowline component;
        stowline::StowlineInterface& host = component;
        host.SaveData();
        check(QMetaObject::invokeMethod(&component, "SaveData"), "SaveData by name");

        check(component.sizeHint() == QSize(688, 440), "design size 10320 x 6600 twips");
        const auto* label = component.findChild<QLabel*>(QStringLiteral("lblversion(1)"));
        check(label != nullptr &&
                  label->text() == QStringLiteral("Version Number: " STOWLINE_PACKAGE_VERSION),
              "version label matches the package version");
        const QVariant tag = QVariant::fromValue(stowline::RouteUDT{});
        check(tag.canConvert<stowline::RouteUDT>(), "records travel in a QVariant tag");
        check(QString::fromLatin1(stowline::ServiceNamespace).startsWith(QStringLiteral("http")),
              "service namespace");
    }
    stowline::setEventLogSink({});

    Dl_info info{};
    const void* symbol = reinterpret_cast<const void*>(&stowline::setEventLogSink);
    if (dladdr(symbol, &info) != 0 && info.dli_fname != nullptr) {
        std::printf("library: %s\n", info.dli_fname);
    } else {
        check(false, "locate the loaded library");
    }
    return failures == 0 ? 0 : 1;
}
