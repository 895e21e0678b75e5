#include "measure/results.h"

#include <cmath>
#include <iterator>
#include <span>

#include "color/reference.h"
#include "config/sensors.h"
#include "measure/measure.h"
#include "measure/patch_names.h"
#include "measure/verdict.h"

namespace {

results_json number(float v)
{
    return std::isfinite(v) ? results_json(v) : results_json(nullptr);
}

// An empty object or array with room for n members: a record is built for
// every job, and growing each container step by step costs more than
// evaluating the job.
results_json object_for(size_t n)
{
    results_json j = results_json::object();
    j.get_ref<results_json::object_t &>().reserve(n);
    return j;
}

results_json array_for(size_t n)
{
    results_json j = results_json::array();
    j.get_ref<results_json::array_t &>().reserve(n);
    return j;
}

results_json numbers(std::initializer_list<float> values)
{
    results_json a = array_for(values.size());
    for (float v : values)
        a.push_back(number(v));
    return a;
}

results_json verdicts(const reference_t &ref, const job_summary_t &summary, bool hdr)
{
    results_json out = results_json::object();
    for (verdict_id id : report_verdicts(hdr)) {
        const verdict_limit_t &limit = verdict_limits[id];
        const verdict_t &v = summary.verdicts[id];
        results_json entry = {{"value", number(v.value)}, {"pass", v.pass}};
        if (limit.around_target) {
            entry["target"] = number(ref.gamma);
            entry["tolerance"] = static_cast<float>(limit.limit);
        } else {
            entry["limit"] = static_cast<float>(limit.limit);
        }
        out[limit.key] = std::move(entry);
    }
    return out;
}

// A patch's signal, colour and whether the job measured it; an empty slot
// has no numbers.
results_json patch(const color_t &p, bool measured, const char *name)
{
    results_json j = object_for(9);
    if (name != nullptr)
        j["name"] = name;
    if (!measured) {
        j["signal"] = nullptr;
        j["XYZ"] = nullptr;
        j["xy"] = nullptr;
        j["measured"] = false;
        return j;
    }
    color_block_t c = p.c;
    get_xyY_from_XYZ(&c);
    j["signal"] = numbers({c.ts0, c.ts1, c.ts2});
    j["XYZ"] = numbers({c.X, c.Y, c.Z});
    j["xy"] = numbers({c.x, c.y});
    j["measured"] = true;
    return j;
}

// A result field of a patch under its name in the record.
struct result_field {
    const char *key;
    float color_t::*value;
};
constexpr result_field DE2000{"dE2000", &color_t::dE2000}, GAMMA{"gamma", &color_t::gamma},
    DEITP{"dEITP", &color_t::dEITP}, DEICTCP{"dEICTCP", &color_t::dEICTCP_240}, E{"E", &color_t::E_prime};

// The results a report computes for a patch; null for an empty slot.
void add_results(results_json &j, const color_t &p, bool measured, std::initializer_list<result_field> fields)
{
    for (const result_field &f : fields)
        j[f.key] = measured ? number(p.*f.value) : results_json(nullptr);
}

results_json patches(const patch_store_t &store, bool hdr)
{
    const auto &data_gray = store.gray;
    const auto &data_gamut = store.gamut;
    const auto &data_check = store.check;
    const auto &data_gamut_measured = store.gamut_measured;
    const auto &data_check_measured = store.check_measured;
    results_json gray = array_for(static_cast<size_t>(store.gray_count));
    for (int i = 0; i < store.gray_count && i < GRAY_MAX; ++i) {
        results_json j = patch(data_gray[i], true, nullptr);
        if (hdr)
            add_results(j, data_gray[i], true, {DE2000, DEITP, DEICTCP, E});
        else
            add_results(j, data_gray[i], true, {DE2000, GAMMA, E});
        gray.push_back(std::move(j));
    }
    results_json gamut = array_for(GAMUT_COUNT);
    for (int i = 0; i < GAMUT_COUNT; ++i) {
        results_json j = patch(data_gamut[i], data_gamut_measured[i], gamut_names[i]);
        if (!hdr)
            add_results(j, data_gamut[i], data_gamut_measured[i], {DE2000});
        gamut.push_back(std::move(j));
    }
    results_json checker = array_for(CHECK_COUNT);
    for (int i = 0; i < CHECK_COUNT; ++i) {
        results_json j = patch(data_check[i], data_check_measured[i], checker_names[i]);
        if (hdr)
            add_results(j, data_check[i], data_check_measured[i], {DE2000, DEITP, DEICTCP});
        else
            add_results(j, data_check[i], data_check_measured[i], {DE2000});
        checker.push_back(std::move(j));
    }
    return {{"grayscale", std::move(gray)}, {"gamut", std::move(gamut)}, {"checker", std::move(checker)}};
}

}  // namespace

std::string utf8_text(const std::string &text)
{
    const std::string quoted = results_json(text).dump(-1, ' ', false, results_json::error_handler_t::replace);
    return results_json::parse(quoted).get<std::string>();
}

const char *sensor_shown(int32_t id)
{
    return id >= 0 && id < SENSOR_COUNT ? sensor_name[id] : "";
}

results_json results_record(const job_t &job, const char *serial_number, const char *sensor,
                            const std::vector<std::string> &warnings)
{
    const reference_t &ref = job.target;
    const bool hdr = job.kind == REPORT_HDR;
    const eotf_row_t *eotf = find_eotf(ref.test_type);
    results_json target = {
        {"color_space", ref.standard.name != nullptr ? ref.standard.name : ""},
        {"eotf", eotf != nullptr ? eotf->name : ""},
        {"gamma", number(ref.gamma)},
        {"white", ref.white.name != nullptr ? ref.white.name : ""},
        {"cct", ref.white.cct},
        {"hlg_peak_luminance", number(job.white.hlg_peak)},
    };
    // No grayscale patch, no white.
    const float level = job.white.bright_Y;
    const bool white = job.white.measured && std::isfinite(level);
    results_json r = object_for(15);
    r["format"] = "analyzer-results";
    r["version"] = RESULTS_VERSION;
    r["report"] = hdr ? "HDR" : "SDR";
    r["test_data_file"] = utf8_text(job.test_data_file);
    r["target"] = std::move(target);
    r["white_level"] = white ? results_json(level) : results_json(nullptr);
    r["serial_number"] = utf8_text(serial_number != nullptr ? serial_number : "");
    r["sensor"] = sensor != nullptr ? sensor : "";
    results_json &notes = r["warnings"] = results_json::array();
    for (const std::string &w : warnings)
        notes.push_back(utf8_text(w));
    r["lines_skipped"] = job.lines_skipped;
    results_json &data_notes = r["data_warnings"] = results_json::array();
    for (const std::string &w : job.data_warnings)
        data_notes.push_back(utf8_text(w));
    r["pass"] = job_passes(job.summary);
    r["verdicts"] = verdicts(ref, job.summary, hdr);
    r["patches"] = patches(job.store, hdr);
    return r;
}
