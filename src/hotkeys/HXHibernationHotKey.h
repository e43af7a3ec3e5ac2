#pragma once

#include "hotkeys/HXHotKeyContext.h"
#include "hotkeys/HXHotKeyDelegate.h"

#include <QObject>

#include <functional>
#include <memory>

// The tracker's one hot key, "Hibernate", which suspends and resumes tracking: the delegate the recorder
// asks, the handler of its key events, and its registration at launch. It is always global: it never
// answers whether a hot key can be local, and accepts no duplicates.
class HXHibernationHotKey : public QObject, public HXHotKeyDelegate, public HXHotKeyHandler {
    Q_OBJECT

public:
    HXHibernationHotKey(const HXHotKeyContext& context, std::function<void()> toggleHibernation,
                        QObject* parent = nullptr);
    ~HXHibernationHotKey() override;

    // Builds the stored hot key and registers it; when the system refuses it, the setting is removed and
    // there is no hot key (false). Without a registrar the setting is left alone.
    bool registerAtLaunch();
    const std::shared_ptr<HXHotKey>& hotKey() const { return m_hotKey; }
    const HXHotKeyContext& context() const { return m_context; }
    // The font size of regular controls, which the recorder shows the hot key in.
    void setControlFontSize(double points) { m_controlFontSize = points; }

    // "QLhk".
    static constexpr std::uint32_t kSignature = 0x514C686B;
    static QString identifier() { return QStringLiteral("Hibernate"); }

    std::vector<HXHotKey*> hotKeys() override;
    std::uint32_t hotKeySignature() override { return kSignature; }
    QString identifierForHotKeyTextView(const QObject* view) override;
    bool shouldSetHotKey(const std::shared_ptr<HXHotKey>& hotKey, const QString& identifier) override;
    void didSetHotKey(const std::shared_ptr<HXHotKey>& hotKey, const QString& identifier) override;
    std::optional<double> fontSizeForHotKeyTextView(const QObject* view) override;

    bool handleKeyDownEvent(const HXKeyboardEvent& event, bool* repeat) override;

Q_SIGNALS:
    // The menu entry shows the new combination.
    void hotKeyChanged();

private:
    HXHotKeyContext m_context;
    std::function<void()> m_toggleHibernation;
    std::shared_ptr<HXHotKey> m_hotKey;
    double m_controlFontSize = 0;
};
