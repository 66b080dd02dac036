#include "cli/ProjectPoints.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "cli/Output.h"

namespace ProjectPoints {

void SetUpToRead(const ProjectionSetup::ProjectionParameters* grid, Datum datum) {
    ProjectionSetup::ProjectionParameters p;
    if (grid) {
        p = *grid;
    } else {
        p.datum = datum;
        p.oneParallel = true;
        p.originLat = 45.0;
    }
    ProjectionSetup::Setup(p);
}

int Read(const BatchConvert::Source& source, BatchConvert::Format format, std::vector<Ground::ProjectPoint>& points,
         std::string& messages) {
    format.designPoints = true;
    const double unitsPerMetre = format.unitsPerMetre;
    std::string pending;  // the part of a point that has not come yet
    const auto take = [&](std::string_view data) {
        pending.append(data);
        std::size_t at = 0;
        Output::DesignPoint p;
        while (pending.size() - at >= sizeof p) {
            std::memcpy(&p, pending.data() + at, sizeof p);
            if (pending.size() - at - sizeof p < p.nameLength) break;
            points.push_back({p.latitude, p.longitude, p.height / unitsPerMetre, p.line,
                              pending.substr(at + sizeof p, p.nameLength)});
            at += sizeof p + p.nameLength;
        }
        pending.erase(0, at);
        return true;
    };
    const auto say = [&messages](std::string_view text) {
        messages.append(text);
        return true;
    };
    return BatchConvert::Convert(source, take, say, format, false);
}

int ReadFile(const std::string& path, const BatchConvert::Format& format, std::vector<Ground::ProjectPoint>& points,
             std::string& messages) {
    if (path == "-") return Read(BatchConvert::ReadFrom(0), format, points, messages);
    const int in = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (in < 0 || ::fstat(in, &st) != 0 || S_ISDIR(st.st_mode)) {
        const int e = in < 0 ? errno : EISDIR;
        if (in >= 0) ::close(in);
        messages += "tarvane-convert: cannot open \"" + path + "\": " + std::strerror(e) + "\n";
        return 2;
    }
    const int status = Read(BatchConvert::ReadFrom(in), format, points, messages);
    ::close(in);
    return status;
}

}  // namespace ProjectPoints
