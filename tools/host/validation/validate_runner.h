// Runs the checks of a validation one by one: each gets a watchdog and its own
// result line (PASS, FAIL or SKIP with a reason), and the run ends with the
// closing tally. A check that hangs or crashes still ends the run with a
// closing line, so a script reading the output always finds one.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace tramvek {

// Thrown by a check that found a fault; the message is the reason.
class CheckFailure : public std::runtime_error {
  public:
    explicit CheckFailure(const std::string& reason) : std::runtime_error(reason) {}
};

// Thrown by a check that does not apply to the plug-in.
class CheckSkipped : public std::runtime_error {
  public:
    explicit CheckSkipped(const std::string& reason) : std::runtime_error(reason) {}
};

[[noreturn]] void failCheck(const std::string& reason);
[[noreturn]] void skipCheck(const std::string& reason);

enum class CheckOutcome { kPassed, kFailed, kSkipped };

struct CheckResult {
    std::string name;
    CheckOutcome outcome = CheckOutcome::kPassed;
    std::string detail;
    double seconds = 0.0;
};

struct RunHeader {
    std::string plugin;
    int strictness = 0;
    unsigned long long seed = 0;
};

class Watchdog;

class ValidationRunner {
  public:
    // A check answers a short summary of what it did (shown after PASS).
    using Check = std::function<std::string()>;

    ValidationRunner(std::ostream& out, bool json, std::chrono::milliseconds watchdogLimit);
    ~ValidationRunner();
    ValidationRunner(const ValidationRunner&) = delete;
    ValidationRunner& operator=(const ValidationRunner&) = delete;

    void begin(const RunHeader& header);
    // Checks whose names do not start with `prefix` are left out entirely.
    void selectOnly(const std::string& prefix) { only_ = prefix; }
    // `allowance` extends the watchdog's limit for a check meant to run long.
    void run(const std::string& name, const Check& check,
             std::chrono::milliseconds allowance = std::chrono::milliseconds(0));
    // Prints the closing tally (or the JSON report); answers whether nothing failed.
    bool finish();

    int passed() const { return count(CheckOutcome::kPassed); }
    int failed() const { return count(CheckOutcome::kFailed); }

  private:
    int count(CheckOutcome outcome) const;
    void report(const CheckResult& result);
    void printClosing(std::ostream& out, int extraFailures) const;
    void abortHung(const std::string& name);

    std::ostream& out_;
    bool json_;
    std::string only_;
    RunHeader header_;
    std::vector<CheckResult> results_;
    std::chrono::milliseconds watchdogLimit_;
    std::chrono::milliseconds currentLimit_{0};
    std::unique_ptr<Watchdog> watchdog_;
};

// "N passed, N failed": the line that ends every run.
std::string closingLine(int passed, int failed);

}  // namespace tramvek
