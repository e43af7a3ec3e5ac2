#include "foundation/HXPropertyList.h"

#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <cstring>

// plist_memory FILE [LIMIT_MB]: the memory a loaded property list occupies above the process baseline,
// from /proc/self/status. "retained" is what the decoded value keeps once the file bytes are freed, "peak"
// the high-water mark during the load (file bytes and value together). With LIMIT_MB, exits 1 when the
// retained figure exceeds it.

namespace {

// A field of /proc/self/status in kB, -1 when missing.
long statusField(const char* name) {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return -1;
    char line[256];
    long value = -1;
    const std::size_t length = std::strlen(name);
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, name, length) == 0 && line[length] == ':') {
            value = std::strtol(line + length + 1, nullptr, 10);
            break;
        }
    }
    std::fclose(status);
    return value;
}

double megabytes(long kilobytes) {
    return static_cast<double>(kilobytes) / 1024.0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: plist_memory FILE [LIMIT_MB]\n");
        return 2;
    }
    const long baseline = statusField("VmRSS");
    HXPropertyListResult result;
    qsizetype fileSize = 0;
    {
        QFile file(QFile::decodeName(argv[1]));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "plist_memory: cannot open %s\n", argv[1]);
            return 1;
        }
        const QByteArray data = file.readAll();
        fileSize = data.size();
        result = HXPropertyList::read(data);
    }
    if (!result.ok()) {
        std::fprintf(stderr, "plist_memory: %s\n", result.error.toLocal8Bit().constData());
        return 1;
    }
    const double retained = megabytes(statusField("VmRSS") - baseline);
    const double peak = megabytes(statusField("VmHWM") - baseline);
    std::printf(
        "file %.1f MB; retained %.1f MB above baseline; peak %.1f MB above baseline (baseline %.1f MB)\n",
        static_cast<double>(fileSize) / 1e6, retained, peak, megabytes(baseline));
    if (argc == 3 && retained > std::atof(argv[2])) {
        std::printf("retained memory above the limit of %s MB\n", argv[2]);
        return 1;
    }
    return 0;
}
