// The Designer plugin as Designer sees it (loaded from its file, asked through the custom
// widget interface) and a host form that places the component as a custom widget.
#include "support/QtPrinters.h"
#include "ui_HostForm.h"

#include <stowline/Stowline.h>

#include <QPluginLoader>
#include <QTabWidget>
#include <QXmlStreamReader>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <gtest/gtest.h>

using namespace stowline;

inline void PrintTo(const QSize& size, std::ostream* out) {
    *out << size.width() << " x " << size.height();
}

namespace {

TEST(DesignerPlugin, DescribesTheComponentAndFormsPlaceItAtItsDesignSize) {
    QPluginLoader loader(STOWLINE_DESIGNER_PLUGIN);
    ASSERT_TRUE(loader.load()) << loader.errorString().toStdString();
    auto* plugin = qobject_cast<QDesignerCustomWidgetInterface*>(loader.instance());
    ASSERT_NE(plugin, nullptr);
    // What forms and the code generated from them name.
    EXPECT_EQ(plugin->name(), "stowline::Stowline");
    EXPECT_EQ(plugin->includeFile(), "stowline/Stowline.h");
    EXPECT_FALSE(plugin->isContainer());

    EXPECT_EQ(plugin->icon().availableSizes(), QList<QSize>{QSize(16, 15)});

    // The snippet Designer drops onto a form, and the widget it creates for it.
    const QSize design = Stowline().sizeHint();
    const QString snippet = plugin->domXml();
    QXmlStreamReader xml(snippet);
    while (!xml.atEnd()) {
        xml.readNext();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    for (const QString& part : {QStringLiteral("<widget class=\"%1\"").arg(plugin->name()),
                                QStringLiteral("<width>%1</width>").arg(design.width()),
                                QStringLiteral("<height>%1</height>").arg(design.height())}) {
        EXPECT_TRUE(snippet.contains(part)) << part.toStdString();
    }
    QWidget form;
    auto* component = qobject_cast<Stowline*>(plugin->createWidget(&form));
    ASSERT_NE(component, nullptr);
    EXPECT_EQ(component->parentWidget(), &form);
    EXPECT_EQ(component->size(), design);

    // A form that places the component as a custom widget, compiled by uic.
    QWidget host;
    Ui::HostForm hostForm;
    hostForm.setupUi(&host);
    component = host.findChild<Stowline*>("stowlineComponent");
    ASSERT_NE(component, nullptr);
    EXPECT_EQ(component->size(), design);
    const auto* tabs = component->findChild<QTabWidget*>("SSTab1");
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->count(), 3);
}

} // namespace
