#include "EngineHarness.h"

#include "engine/HXRegisteredDefaults.h"

int FakeUserInterface::runAlert(const HXAlert& alert) {
    alerts.push_back(alert);
    if (answers.empty())
        return 0;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<QString> FakeUserInterface::runOpenPanel(const HXOpenPanelRequest& request) {
    openPanels.push_back(request);
    return openPanelAnswer;
}

std::optional<QString> FakeUserInterface::runFolderPanel(const HXFolderPanelRequest& request) {
    folderPanels.push_back(request);
    return folderPanelAnswer;
}

bool FakeAdHocTimer::resumeAtTimestamp(double timestamp) {
    if (running)
        return false;
    resumes.push_back(timestamp);
    running = true;
    m_active = true;
    return true;
}

bool FakeAdHocTimer::startAtTimestamp(double timestamp, const std::optional<QString>&, const HXDictionaryRef&,
                                      HXAdHocTimerDelegate*) {
    if (m_active)
        return false;
    starts.push_back(timestamp);
    running = true;
    m_active = true;
    return true;
}

bool FakeAdHocTimer::stop() {
    if (!running)
        return false;
    running = false;
    ++stops;
    return true;
}

HXFakeWindow fakeWindow(std::uint64_t number, const QString& title) {
    HXFakeWindow w;
    w.number = number;
    w.title = title;
    return w;
}

QString desktopPath(const QString& identifier) {
    return QStringLiteral("/usr/share/applications/%1.desktop").arg(identifier);
}

HXFakeApplication fakeApplication(std::int64_t pid, const QString& identifier, const QString& name,
                                  std::vector<HXFakeWindow> windows, HXActivationPolicy policy) {
    HXFakeApplication a;
    a.application.bundleIdentifier = identifier;
    a.application.bundlePath = desktopPath(identifier);
    a.application.localizedName = name;
    a.application.processIdentifier = pid;
    a.application.activationPolicy = policy;
    a.windows = std::move(windows);
    return a;
}

EngineHarness::EngineHarness(double start) : EngineHarness(start, {}) {}

EngineHarness::EngineHarness(double start,
                             const std::function<void(const QString& settingsPath)>& prepareSettings)
    : time(start) {
    const QString settingsPath = scratch.file(QStringLiteral("config/Defaults.plist"));
    if (prepareSettings)
        prepareSettings(settingsPath);
    defaults = std::make_unique<HXUserDefaults>(settingsPath, &time);
    HXRegisterDefaults(*defaults);
    useAdHocTimer(&adHocTimer);
}

void EngineHarness::useAdHocTimer(HXAdHocTimerPort* timer) {
    lifecycle.reset();
    controller.reset();
    controller = std::make_unique<HXMainController>(
        HXEngineServices{*defaults, time, time, windows, windows, ui, &capture, timer, &inhibitor,
                         scratch.file(QStringLiteral("data/Qualdern"))});
    lifecycle = std::make_unique<HXLifecycle>(*controller, lifecyclePort, &inputMonitor, &presenceMonitor);
}

EngineHarness::~EngineHarness() {
    lifecycle.reset();
    controller.reset();
}

void EngineHarness::tickAt(double t) {
    time.setNow(t);
    controller->updateLists(HXTrigger::Schedule);
}

HXDictionaryRef EngineHarness::application(const QString& key) {
    const HXDictionaryRef applications = configuration().dictionaryForKey(u"Applications");
    return applications ? applications->dictionaryForKey(key) : nullptr;
}

HXDictionaryRef EngineHarness::window(const QString& applicationKey, const QString& title) {
    const HXDictionaryRef app = application(applicationKey);
    const HXDictionaryRef windowsByName = app ? app->dictionaryForKey(HXKeys::WindowsByName) : nullptr;
    return windowsByName ? windowsByName->dictionaryForKey(title) : nullptr;
}

HXDictionary& EngineHarness::configuration() {
    if (!controller->configuration())
        controller->configurationStore().setConfiguration(HXDictionary::create());
    return *controller->configuration();
}

HXArrayRef EngineHarness::pools() {
    HXArrayRef pools = configuration().arrayForKey(u"Pools");
    if (!pools) {
        pools = HXArray::create();
        configuration().setValue(u"Pools", pools);
    }
    return pools;
}

HXDictionaryRef EngineHarness::addPool(const QString& name, std::vector<HXDictionaryRef> items) {
    auto children = HXArray::create();
    for (const HXDictionaryRef& item : items)
        children->append(item);
    auto pool = makeDictionary({{QStringLiteral("Name"), HXValue(name)},
                                {QStringLiteral("Path"), HXValue(QStringLiteral("_Pool"))},
                                {QStringLiteral("Type"), HXValue(QStringLiteral("Pool Item"))},
                                {QStringLiteral("Children"), HXValue(children)}});
    pools()->append(pool);
    return pool;
}

HXDictionaryRef EngineHarness::poolItem(const QString& name, const QString& applicationID,
                                        std::vector<HXDictionaryRef> windowItems) {
    auto item = makeDictionary({{QStringLiteral("Name"), HXValue(name)},
                                {QStringLiteral("Path"), HXValue(desktopPath(applicationID))},
                                {QStringLiteral("Application ID"), HXValue(applicationID)},
                                {QStringLiteral("Type"), HXValue(QStringLiteral("Pool Item"))}});
    if (!windowItems.empty()) {
        auto children = HXArray::create();
        for (const HXDictionaryRef& w : windowItems)
            children->append(w);
        item->setValue(HXKeys::Children, children);
    }
    return item;
}

HXDictionaryRef EngineHarness::windowPoolItem(const QString& title, const QString& applicationID) {
    return makeDictionary({{QStringLiteral("Name"), HXValue(title)},
                           {QStringLiteral("Path"), HXValue(QStringLiteral("_Window"))},
                           {QStringLiteral("Application ID"), HXValue(applicationID)},
                           {QStringLiteral("Type"), HXValue(QStringLiteral("Pool Item"))}});
}
