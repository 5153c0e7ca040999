// The Designer plugin as Designer sees it (loaded from its file, asked through the custom
// widget interface) and a host form that places the component as a custom widget.
#include "support/QtPrinters.h"
#include "ui_HostForm.h"

#include <stowline/Stowline.h>

#include <QPluginLoader>
#include <QSet>
#include <QTabWidget>
#include <QXmlStreamReader>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <gtest/gtest.h>

using namespace stowline;

inline void PrintTo(const QSize& size, std::ostream* out) {
    *out << size.width() << " x " << size.height();
}

namespace {

class DesignerPluginTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(loader.load()) << loader.errorString().toStdString();
        plugin = qobject_cast<QDesignerCustomWidgetInterface*>(loader.instance());
        ASSERT_NE(plugin, nullptr);
    }

    QPluginLoader loader{QStringLiteral(STOWLINE_DESIGNER_PLUGIN)};
    QDesignerCustomWidgetInterface* plugin = nullptr;
};

// The class and the geometry size of the widget a Designer snippet places.
struct SnippetWidget {
    QString className;
    QSize size;
};

SnippetWidget widgetOf(const QString& domXml) {
    SnippetWidget widget;
    QXmlStreamReader xml(domXml);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (xml.name() == QLatin1String("widget")) {
            widget.className = xml.attributes().value(QLatin1String("class")).toString();
        } else if (xml.name() == QLatin1String("width")) {
            widget.size.setWidth(xml.readElementText().toInt());
        } else if (xml.name() == QLatin1String("height")) {
            widget.size.setHeight(xml.readElementText().toInt());
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return widget;
}

} // namespace

TEST_F(DesignerPluginTest, DescribesTheComponentForTheWidgetBox) {
    EXPECT_EQ(plugin->name(), QStringLiteral("stowline::Stowline"));
    EXPECT_EQ(plugin->group(), QStringLiteral("Stowline"));
    EXPECT_EQ(plugin->includeFile(), QStringLiteral("stowline/Stowline.h"));
    EXPECT_FALSE(plugin->isContainer());
    EXPECT_FALSE(plugin->toolTip().isEmpty());
    EXPECT_FALSE(plugin->whatsThis().isEmpty());

    const QIcon icon = plugin->icon();
    ASSERT_EQ(icon.availableSizes(), QList<QSize>{QSize(16, 15)});
    const QImage picture = icon.pixmap(QSize(16, 15)).toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            colours.insert(picture.pixel(x, y));
        }
    }
    EXPECT_EQ(colours.size(), 16);
}

TEST_F(DesignerPluginTest, PlacesTheComponentAtItsDesignSize) {
    const SnippetWidget widget = widgetOf(plugin->domXml());
    EXPECT_EQ(widget.className, plugin->name());
    EXPECT_EQ(widget.size, Stowline().sizeHint());

    QWidget form;
    QWidget* created = plugin->createWidget(&form);
    auto* component = qobject_cast<Stowline*>(created);
    ASSERT_NE(component, nullptr);
    EXPECT_EQ(component->parentWidget(), &form);
    EXPECT_EQ(component->size(), widget.size);
}

TEST(DesignerForm, AFormWithTheComponentBuildsAndRuns) {
    QWidget host;
    Ui::HostForm form;
    form.setupUi(&host);

    auto* component = host.findChild<Stowline*>(QStringLiteral("stowlineComponent"));
    ASSERT_NE(component, nullptr);
    EXPECT_EQ(component, form.stowlineComponent);
    EXPECT_EQ(component->size(), component->sizeHint());
    const auto* tabs = component->findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->count(), 3);
}
