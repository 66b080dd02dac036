// The engine's conversions against GeographicLib's LambertConformalConic and
// PROJ's proj_trans: one zone (4204 Texas South Central, NAD83, metres), the
// same 4096 points for all three, nanoseconds per point and the ratios.
#include <benchmark/benchmark.h>

#include <GeographicLib/LambertConformalConic.hpp>
#include <proj.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "engine/Tarvane_Module.h"

namespace {

namespace TM = Tarvane_Module;

constexpr int kPoints = 4096;
constexpr double kRadToDeg = 180 / 3.14159265358979323846;

struct Zone {
    double south, north, origin, meridian, falseEasting, falseNorthing;  // radians, metres
};

struct Fixture {
    Zone zone{};
    std::vector<double> lat, lon;    // radians
    std::vector<double> east, north; // the engine's grid values of the points
    GeographicLib::LambertConformalConic* lcc = nullptr;
    double lccNorthingOfOrigin = 0.0;  // GeographicLib's y at the latitude of origin
    PJ_CONTEXT* context = nullptr;
    PJ* proj = nullptr;

    Fixture() {
        std::string name;
        TM::GetZoneParameters(0, 4204, name, zone.south, zone.north, zone.origin, zone.meridian, zone.falseEasting,
                              zone.falseNorthing);
        TM::SetDatum("NAD83");
        TM::SetupProjection(zone.origin, zone.south, zone.north, zone.meridian, zone.falseNorthing,
                            zone.falseEasting);

        // The same GRS 80 cone in the two libraries.
        lcc = new GeographicLib::LambertConformalConic(6378137.0, 1 / 298.257222101, zone.south * kRadToDeg,
                                                       zone.north * kRadToDeg, 1.0);
        double x = 0, y = 0;
        lcc->Forward(zone.meridian * kRadToDeg, zone.origin * kRadToDeg, zone.meridian * kRadToDeg, x, y);
        lccNorthingOfOrigin = y;
        char definition[512];
        std::snprintf(definition, sizeof definition,
                      "+proj=lcc +lat_1=%.17g +lat_2=%.17g +lat_0=%.17g +lon_0=%.17g +x_0=%.17g +y_0=%.17g "
                      "+ellps=GRS80",
                      zone.south * kRadToDeg, zone.north * kRadToDeg, zone.origin * kRadToDeg,
                      zone.meridian * kRadToDeg, zone.falseEasting, zone.falseNorthing);
        context = proj_context_create();
        proj = proj_create(context, definition);
        if (!proj) std::fprintf(stderr, "PROJ refused %s\n", definition);

        // Points over the zone and around it, from a fixed random key.
        std::mt19937_64 random(4204);
        std::uniform_real_distribution<double> dLat(26.0, 31.0), dLon(-101.0, -97.0);
        for (int i = 0; i < kPoints; ++i) {
            lat.push_back(dLat(random) / kRadToDeg);
            lon.push_back(dLon(random) / kRadToDeg);
            double e = 0, n = 0;
            TM::GeoToGrid(lat.back(), lon.back(), e, n);
            east.push_back(e);
            north.push_back(n);
        }
    }

    // Largest distance between the engine's grid points and each library's,
    // so the table shows that all three compute the same projection.
    void PrintAgreement() const {
        double geographicLib = 0, projLib = 0;
        for (int i = 0; i < kPoints; ++i) {
            double x = 0, y = 0;
            lcc->Forward(zone.meridian * kRadToDeg, lat[i] * kRadToDeg, lon[i] * kRadToDeg, x, y);
            geographicLib = std::max(geographicLib, std::hypot(x + zone.falseEasting - east[i],
                                                               y - lccNorthingOfOrigin + zone.falseNorthing - north[i]));
            const PJ_COORD c = proj_trans(proj, PJ_FWD, proj_coord(lon[i], lat[i], 0, 0));
            projLib = std::max(projLib, std::hypot(c.xy.x - east[i], c.xy.y - north[i]));
        }
        std::printf("Largest distance from the engine's grid points: GeographicLib %.3g m, PROJ %.3g m\n",
                    geographicLib, projLib);
    }
};

Fixture& Points() {
    static Fixture fixture;
    return fixture;
}

void Count(benchmark::State& state) { state.SetItemsProcessed(state.iterations() * kPoints); }

void Tarvane_Forward(benchmark::State& state) {
    const Fixture& f = Points();
    for (auto _ : state) {
        for (int i = 0; i < kPoints; ++i) {
            double e, n;
            TM::GeoToGrid(f.lat[i], f.lon[i], e, n);
            benchmark::DoNotOptimize(e);
            benchmark::DoNotOptimize(n);
        }
    }
    Count(state);
}

// With the scale factor and the convergence, which GeographicLib's Forward
// and the batch converter also give.
void Tarvane_ForwardScaleConvergence(benchmark::State& state) {
    const Fixture& f = Points();
    for (auto _ : state) {
        for (int i = 0; i < kPoints; ++i) {
            double e, n;
            TM::GeoToGrid(f.lat[i], f.lon[i], e, n);
            const double k = TM::PointScaleFactor(f.lat[i]);
            const double gamma = TM::GridConvergence(f.lon[i]);
            benchmark::DoNotOptimize(e);
            benchmark::DoNotOptimize(n);
            benchmark::DoNotOptimize(k);
            benchmark::DoNotOptimize(gamma);
        }
    }
    Count(state);
}

void GeographicLib_Forward(benchmark::State& state) {
    const Fixture& f = Points();
    const double lon0 = f.zone.meridian * kRadToDeg;
    for (auto _ : state) {
        for (int i = 0; i < kPoints; ++i) {
            double x, y, gamma, k;
            f.lcc->Forward(lon0, f.lat[i] * kRadToDeg, f.lon[i] * kRadToDeg, x, y, gamma, k);
            benchmark::DoNotOptimize(x);
            benchmark::DoNotOptimize(y);
        }
    }
    Count(state);
}

void PROJ_Forward(benchmark::State& state) {
    const Fixture& f = Points();
    for (auto _ : state) {
        for (int i = 0; i < kPoints; ++i) {
            const PJ_COORD c = proj_trans(f.proj, PJ_FWD, proj_coord(f.lon[i], f.lat[i], 0, 0));
            benchmark::DoNotOptimize(c);
        }
    }
    Count(state);
}

void Tarvane_Inverse(benchmark::State& state) {
    const Fixture& f = Points();
    for (auto _ : state) {
        for (int i = 0; i < kPoints; ++i) {
            double lat, lon;
            std::int16_t iterations = 0;
            TM::GridToGeo(f.east[i], f.north[i], lat, lon, iterations);
            benchmark::DoNotOptimize(lat);
            benchmark::DoNotOptimize(lon);
        }
    }
    Count(state);
}

void GeographicLib_Inverse(benchmark::State& state) {
    const Fixture& f = Points();
    const double lon0 = f.zone.meridian * kRadToDeg;
    for (auto _ : state) {
        for (int i = 0; i < kPoints; ++i) {
            double lat, lon, gamma, k;
            f.lcc->Reverse(lon0, f.east[i] - f.zone.falseEasting,
                           f.north[i] - f.zone.falseNorthing + f.lccNorthingOfOrigin, lat, lon, gamma, k);
            benchmark::DoNotOptimize(lat);
            benchmark::DoNotOptimize(lon);
        }
    }
    Count(state);
}

void PROJ_Inverse(benchmark::State& state) {
    const Fixture& f = Points();
    for (auto _ : state) {
        for (int i = 0; i < kPoints; ++i) {
            const PJ_COORD c = proj_trans(f.proj, PJ_INV, proj_coord(f.east[i], f.north[i], 0, 0));
            benchmark::DoNotOptimize(c);
        }
    }
    Count(state);
}

BENCHMARK(Tarvane_Forward);
BENCHMARK(Tarvane_ForwardScaleConvergence);
BENCHMARK(GeographicLib_Forward);
BENCHMARK(PROJ_Forward);
BENCHMARK(Tarvane_Inverse);
BENCHMARK(GeographicLib_Inverse);
BENCHMARK(PROJ_Inverse);

// The console report, and the fastest repetition of each benchmark kept for
// the table of ratios (the least disturbed by other work on the machine).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
            const double ns = run.real_accumulated_time * 1e9 / static_cast<double>(run.iterations) / kPoints;
            const std::string name = run.run_name.function_name;
            auto [it, added] = best_.emplace(name, ns);
            if (!added) it->second = std::min(it->second, ns);
        }
    }

    void PrintTable() const {
        const auto ns = [this](const char* name) {
            const auto it = best_.find(name);
            return it == best_.end() ? std::numeric_limits<double>::quiet_NaN() : it->second;
        };
        std::printf("\n| conversion | TARVANE ns/point | GeographicLib ns/point | PROJ ns/point | "
                    "TARVANE / GeographicLib | TARVANE / PROJ |\n|---|---|---|---|---|---|\n");
        const struct {
            const char *label, *ours, *geographicLib, *proj;
        } rows[] = {
            {"forward (E, N)", "Tarvane_Forward", "GeographicLib_Forward", "PROJ_Forward"},
            {"forward with k and gamma", "Tarvane_ForwardScaleConvergence", "GeographicLib_Forward", "PROJ_Forward"},
            {"inverse", "Tarvane_Inverse", "GeographicLib_Inverse", "PROJ_Inverse"},
        };
        for (const auto& r : rows) {
            std::printf("| %s | %.1f | %.1f | %.1f | %.2f | %.2f |\n", r.label, ns(r.ours), ns(r.geographicLib),
                        ns(r.proj), ns(r.ours) / ns(r.geographicLib), ns(r.ours) / ns(r.proj));
        }
    }

private:
    std::map<std::string, double> best_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Points().PrintAgreement();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintTable();
    benchmark::Shutdown();
    return 0;
}
