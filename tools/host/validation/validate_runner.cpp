#include "validation/validate_runner.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iomanip>
#include <iostream>
#include <sstream>

#include "formats/json_writer.h"
#include "validation/validate_crash_report.h"
#include "validation/validate_watchdog.h"

namespace tramvek {
namespace {

constexpr int kExitHung = 3;

const char* outcomeWord(CheckOutcome outcome) {
    switch (outcome) {
        case CheckOutcome::kPassed:
            return "PASS";
        case CheckOutcome::kFailed:
            return "FAIL";
        case CheckOutcome::kSkipped:
            return "SKIP";
    }
    return "?";
}

const char* outcomeJson(CheckOutcome outcome) {
    switch (outcome) {
        case CheckOutcome::kPassed:
            return "passed";
        case CheckOutcome::kFailed:
            return "failed";
        case CheckOutcome::kSkipped:
            return "skipped";
    }
    return "?";
}

std::string resultLine(const CheckResult& result) {
    std::ostringstream line;
    line << outcomeWord(result.outcome) << ' ' << result.name;
    if (!result.detail.empty()) {
        line << ": " << result.detail;
    }
    line << " (" << std::fixed << std::setprecision(2) << result.seconds << " s)";
    return line.str();
}

}  // namespace

void failCheck(const std::string& reason) {
    throw CheckFailure(reason);
}

void skipCheck(const std::string& reason) {
    throw CheckSkipped(reason);
}

std::string closingLine(int passed, int failed) {
    return std::to_string(passed) + " passed, " + std::to_string(failed) + " failed";
}

ValidationRunner::ValidationRunner(std::ostream& out, bool json, std::chrono::milliseconds watchdogLimit)
    : out_(out), json_(json), watchdogLimit_(watchdogLimit) {
    watchdog_ = std::make_unique<Watchdog>([this](const std::string& name) { abortHung(name); });
}

ValidationRunner::~ValidationRunner() = default;

void ValidationRunner::begin(const RunHeader& header) {
    header_ = header;
    if (!json_) {
        out_ << "validating " << header.plugin << " at strictness " << header.strictness << ", seed "
             << header.seed << '\n';
    }
}

void ValidationRunner::run(const std::string& name, const Check& check, std::chrono::milliseconds allowance) {
    if (name.rfind(only_, 0) != 0) {
        return;
    }
    CheckResult result;
    result.name = name;
    out_.flush();
    prepareCrashReport(resultLine({name, CheckOutcome::kFailed, "the plug-in crashed the host", 0.0}) + "\n" +
                       closingLine(passed(), failed() + 1) + "\n");
    auto start = std::chrono::steady_clock::now();
    currentLimit_ = watchdogLimit_ + allowance;
    watchdog_->arm(name, currentLimit_);
    try {
        result.detail = check();
    } catch (const CheckSkipped& e) {
        result.outcome = CheckOutcome::kSkipped;
        result.detail = e.what();
    } catch (const std::exception& e) {
        // A CheckFailure, or anything else thrown on the way (a plug-in's own
        // exception escaping a call counts as a fault too).
        result.outcome = CheckOutcome::kFailed;
        result.detail = e.what();
    }
    watchdog_->disarm();
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    report(result);
    results_.push_back(std::move(result));
}

void ValidationRunner::report(const CheckResult& result) {
    if (!json_) {
        out_ << resultLine(result) << std::endl;
    }
}

int ValidationRunner::count(CheckOutcome outcome) const {
    return static_cast<int>(std::count_if(results_.begin(), results_.end(),
                                          [outcome](const CheckResult& r) { return r.outcome == outcome; }));
}

void ValidationRunner::printClosing(std::ostream& out, int extraFailures) const {
    if (!json_) {
        int skipped = count(CheckOutcome::kSkipped);
        if (skipped > 0) {
            out << skipped << " skipped\n";
        }
        out << closingLine(passed(), failed() + extraFailures) << std::endl;
        return;
    }
    JsonWriter json(out);
    json.beginObject();
    json.key("plugin");
    json.value(header_.plugin);
    json.key("strictness");
    json.value(static_cast<std::int64_t>(header_.strictness));
    json.key("seed");
    json.value(static_cast<std::int64_t>(header_.seed));
    json.key("checks");
    json.beginArray();
    for (const CheckResult& result : results_) {
        json.beginObject();
        json.key("name");
        json.value(result.name);
        json.key("result");
        json.value(outcomeJson(result.outcome));
        json.key("detail");
        json.value(result.detail);
        json.key("seconds");
        json.value(result.seconds);
        json.endObject();
    }
    json.endArray();
    json.key("passed");
    json.value(static_cast<std::int64_t>(passed()));
    json.key("failed");
    json.value(static_cast<std::int64_t>(failed() + extraFailures));
    json.key("skipped");
    json.value(static_cast<std::int64_t>(count(CheckOutcome::kSkipped)));
    json.endObject();
    out << std::endl;
}

bool ValidationRunner::finish() {
    printClosing(out_, 0);
    return failed() == 0;
}

void ValidationRunner::abortHung(const std::string& name) {
    double limit = std::chrono::duration<double>(currentLimit_).count();
    CheckResult hung{name, CheckOutcome::kFailed,
                     "no answer within " + std::to_string(static_cast<long>(limit)) + " s (watchdog)", limit};
    results_.push_back(hung);
    report(hung);
    printClosing(out_, 0);
    std::fflush(nullptr);
    // The plug-in holds the main thread; nothing can unwind it.
    std::_Exit(kExitHung);
}

}  // namespace tramvek
