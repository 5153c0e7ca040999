#include "StowlineDesignerPlugin.h"

#include "ToolboxIcon.h"

#include <stowline/Stowline.h>

namespace stowline::designer {

StowlineDesignerPlugin::StowlineDesignerPlugin(QObject* parent) : QObject(parent) {}

QString StowlineDesignerPlugin::name() const {
    return QStringLiteral("stowline::Stowline");
}

QString StowlineDesignerPlugin::group() const {
    return QStringLiteral("Stowline");
}

QString StowlineDesignerPlugin::toolTip() const {
    return QStringLiteral("Stowline: delivery routes, storage bays and center assignments");
}

QString StowlineDesignerPlugin::whatsThis() const {
    return QStringLiteral(
        "Maintains delivery routes, storage locations (bays) and their assignment to centers in "
        "the remote service. Call LoadData with the server's address to fill it.");
}

QString StowlineDesignerPlugin::includeFile() const {
    return QStringLiteral("stowline/Stowline.h");
}

QIcon StowlineDesignerPlugin::icon() const {
    return toolboxIcon();
}

bool StowlineDesignerPlugin::isContainer() const {
    return false;
}

QWidget* StowlineDesignerPlugin::createWidget(QWidget* parent) {
    return new Stowline(parent);
}

bool StowlineDesignerPlugin::isInitialized() const {
    return m_initialized;
}

void StowlineDesignerPlugin::initialize(QDesignerFormEditorInterface*) {
    m_initialized = true;
}

QString StowlineDesignerPlugin::domXml() const {
    // 10320 x 6600 twips, the component's fixed design size (Stowline::sizeHint()).
    return QStringLiteral(R"(<ui language="c++" displayname="Stowline">
 <widget class="stowline::Stowline" name="stowlineComponent">
  <property name="geometry">
   <rect>
    <x>0</x>
    <y>0</y>
    <width>688</width>
    <height>440</height>
   </rect>
  </property>
 </widget>
</ui>
)");
}

} // namespace stowline::designer
