#pragma once

#include <stowline/Export.h>

#include <QString>
#include <QWidget>
#include <memory>

namespace stowline {

// The component's host interface: the seven methods in their slot order.
class STOWLINE_EXPORT StowlineInterface {
public:
    virtual ~StowlineInterface() = default;

    // Posts one SOAP envelope to AsmxUrl. For a query (UpdateAddDeleteOnly false) returns the
    // answer without its SOAP envelope tags; for an update, and after any failure, returns "".
    // Failures are reported by the component (message box and event log), never thrown.
    virtual QString ReturnWebserviceXML(const QString& AsmxUrl, const QString& Host,
                                        const QString& SOAPAction, const QString& SOAPEnvelope,
                                        bool UpdateAddDeleteOnly = false) = 0;
    // Cut one query's response and result tags from a ReturnWebserviceXML result.
    virtual QString ReplaceGetDeliveryRouteSOAPTags(const QString& XMLData) = 0;
    // Note: also removes the XML declaration the clean-up gave the answer.
    virtual QString ReplaceGetFacilitiesSOAPTags(const QString& XMLData) = 0;
    virtual QString ReplaceGetRelativeDataSOAPTags(const QString& XMLData) = 0;
    virtual QString ReplaceGetStorageLocationSOAPTags(const QString& XMLData) = 0;
    // Fetches facilities, centers, routes and bays from the server (for example
    // "http://127.0.0.1:8080") and shows them. Blocks until all four answers are in.
    virtual void LoadData(const QString& ptServerName) = 0;
    // Does nothing: every change is sent as the operator makes it.
    virtual void SaveData() = 0;
};

class StowlinePrivate;

// The embeddable component: three tabbed pages for delivery routes, storage bays and the
// assignment of both to centers, kept in step with the remote service.
class STOWLINE_EXPORT Stowline : public QWidget, public StowlineInterface {
    Q_OBJECT

public:
    explicit Stowline(QWidget* parent = nullptr);
    ~Stowline() override;
    Stowline(const Stowline&) = delete;
    Stowline& operator=(const Stowline&) = delete;

    Q_INVOKABLE QString ReturnWebserviceXML(const QString& AsmxUrl, const QString& Host,
                                            const QString& SOAPAction, const QString& SOAPEnvelope,
                                            bool UpdateAddDeleteOnly = false) override;
    Q_INVOKABLE QString ReplaceGetDeliveryRouteSOAPTags(const QString& XMLData) override;
    Q_INVOKABLE QString ReplaceGetFacilitiesSOAPTags(const QString& XMLData) override;
    Q_INVOKABLE QString ReplaceGetRelativeDataSOAPTags(const QString& XMLData) override;
    Q_INVOKABLE QString ReplaceGetStorageLocationSOAPTags(const QString& XMLData) override;
    Q_INVOKABLE void LoadData(const QString& ptServerName) override;
    Q_INVOKABLE void SaveData() override;

    // The design size: 10320 x 6600 twips.
    QSize sizeHint() const override;

protected:
    void changeEvent(QEvent* event) override;

private:
    std::unique_ptr<StowlinePrivate> d;
};

} // namespace stowline
