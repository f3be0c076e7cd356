#include "compute/Charges.h"

#include "compute/Constants.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace corvalt {

using namespace constants;

double SweepOffsetDeg(int step) {
    return static_cast<double>(step - 1) * kSweepStepDeg;
}

std::vector<int> ChargeSystemMembers(std::span<const TSystemConductor> system) {
    std::vector<int> members;
    for (std::size_t i = 0; i < system.size(); ++i)
        if (system[i].InChargeSystem) members.push_back(static_cast<int>(i));
    return members;
}

namespace {

const TSystemConductor& Member(std::span<const TSystemConductor> system,
                               std::span<const int> members, std::size_t k) {
    return system[static_cast<std::size_t>(members[k])];
}

// Squared distance between conductors a and b, and between a and the image of b.
double DistanceSq(const TSystemConductor& a, const TSystemConductor& b) {
    const double dx = static_cast<double>(a.XM) - b.XM;
    const double dy = static_cast<double>(a.YM) - b.YM;
    return dx * dx + dy * dy;
}
double ImageDistanceSq(const TSystemConductor& a, const TSystemConductor& b) {
    const double dx = static_cast<double>(a.XM) - b.XM;
    const double dy = static_cast<double>(a.YM) + b.YM;
    return dx * dx + dy * dy;
}

} // namespace

TMatrix PotentialCoefficients(std::span<const TSystemConductor> system,
                              std::span<const int> members) {
    const int n = static_cast<int>(members.size());
    TMatrix p(n, n);
    for (int i = 0; i < n; ++i) {
        const TSystemConductor& ci = Member(system, members, static_cast<std::size_t>(i));
        for (int j = 0; j < n; ++j) {
            if (i == j) {
                p(i, i) = kInvTwoPiEps0 * std::log(4.0 * ci.YM / ci.Bundle.EqDiameterM);
                continue;
            }
            const TSystemConductor& cj = Member(system, members, static_cast<std::size_t>(j));
            p(i, j) = kInvTwoPiEps0 *
                      std::log(std::sqrt(ImageDistanceSq(ci, cj)) / std::sqrt(DistanceSq(ci, cj)));
        }
    }
    return p;
}

TIndexPair FindOverlappingMembers(std::span<const TSystemConductor> system,
                                  std::span<const int> members) {
    std::vector<TConductorCircle> circles;
    circles.reserve(members.size());
    for (std::size_t k = 0; k < members.size(); ++k) {
        const TSystemConductor& c = Member(system, members, k);
        circles.push_back({c.XM, c.YM, c.RadiusM});
    }
    const TIndexPair pair = FirstMeetingPair(circles);
    if (!pair.Found()) return {};
    return {members[static_cast<std::size_t>(pair.First)],
            members[static_cast<std::size_t>(pair.Second)]};
}

TGradientFactors GradientFactors(int n, const TBundle& b) {
    TGradientFactors f;
    f.Bracket = 1.0 + 2.0 * (n - 1) * std::sin(kPi / n) * b.SubRadiusCm / b.SpacingCm;
    f.NTimesRCm = static_cast<double>(n) * b.SubRadiusCm;
    return f;
}

float SurfaceGradientKvCm(TPhasor q, const TGradientFactors& f) {
    const double magnitude =
        std::sqrt(static_cast<double>(q.Re) * q.Re + static_cast<double>(q.Im) * q.Im);
    return static_cast<float>(magnitude * f.Bracket * kGradientFactor / f.NTimesRCm);
}

namespace {

// The sweep over the members of the charge system. The inverse is stored by
// columns so that one voltage updates every conductor's running charge in one
// pass; each charge still adds its terms in list order, in single precision,
// exactly as the sum written row by row.
class TChargeSweep {
  public:
    TChargeSweep(std::span<TSystemConductor> system, std::span<const int> members,
                 const TMatrix& inverse)
        : system_(system), members_(members), n_(members.size()) {
        columns_.resize(n_ * n_);
        for (std::size_t j = 0; j < n_; ++j)
            for (std::size_t i = 0; i < n_; ++i)
                columns_[j * n_ + i] = inverse(static_cast<int>(i), static_cast<int>(j));
        volts_.resize(n_);
        chargeRe_.resize(n_);
        chargeIm_.resize(n_);
        maxGradient_.resize(n_);
        factors_.resize(n_);
        phaseToGround_.resize(n_);
        for (std::size_t k = 0; k < n_; ++k) {
            const TSystemConductor& c = At(k);
            factors_[k] = GradientFactors(c.SubCondCount, c.Bundle);
            phaseToGround_[k] = PhaseToGroundKv(c.MaxVoltageKv);
            AddToAngleGroup(c);
        }
    }

    // Runs steps 1 .. steps; offsets apply to the AC conductors only. False
    // when stop was requested before the last step.
    bool Run(int steps, bool rotateAc, const std::stop_token& stop) {
        for (int step = 1; step <= steps; ++step) {
            if (stop.stop_requested()) return false;
            SetVoltages(SweepOffsetDeg(step), rotateAc, step == 1);
            SumCharges();
            for (std::size_t k = 0; k < n_; ++k) {
                const float g = SurfaceGradientKvCm({chargeRe_[k], chargeIm_[k]}, factors_[k]);
                if (step == 1 || g > maxGradient_[k]) maxGradient_[k] = g;
            }
        }
        return true;
    }

    // Leaves the last step's voltages and charges and the gradients on the
    // conductors; false when any of them is not finite.
    bool Store() {
        bool finite = true;
        for (std::size_t k = 0; k < n_; ++k) {
            TSystemConductor& c = At(k);
            c.VoltV = volts_[k];
            c.ChargeCPerM = {chargeRe_[k], chargeIm_[k]};
            const float g = c.MaxVoltageKv < 0 ? -maxGradient_[k] : maxGradient_[k];
            c.MaxGradientKvCm = g;
            finite = finite && std::isfinite(chargeRe_[k]) && std::isfinite(chargeIm_[k]) &&
                     std::isfinite(g);
        }
        return finite;
    }

  private:
    // Conductors sharing a phase angle and the AC/DC choice share cos θ and sin θ.
    struct TAngleGroup {
        float PhaseAngleDeg;
        bool IsAc;
        double Cos = 1, Sin = 0;
    };

    TSystemConductor& At(std::size_t k) { return system_[static_cast<std::size_t>(members_[k])]; }

    void AddToAngleGroup(const TSystemConductor& c) {
        for (std::size_t g = 0; g < groups_.size(); ++g) {
            if (groups_[g].IsAc == c.IsAc && groups_[g].PhaseAngleDeg == c.PhaseAngleDeg) {
                groupOf_.push_back(g);
                return;
            }
        }
        groups_.push_back({c.PhaseAngleDeg, c.IsAc});
        groupOf_.push_back(groups_.size() - 1);
    }

    void SetVoltages(double offsetDeg, bool rotateAc, bool first) {
        for (TAngleGroup& g : groups_) {
            if (!first && !(g.IsAc && rotateAc)) continue; // unchanged since step 1
            const double theta = VoltageAngleRad(g.PhaseAngleDeg, g.IsAc ? offsetDeg : 0.0);
            g.Cos = std::cos(theta);
            g.Sin = std::sin(theta);
        }
        for (std::size_t k = 0; k < n_; ++k) {
            const TAngleGroup& g = groups_[groupOf_[k]];
            volts_[k] = VoltagePhasorFromCosSinV(phaseToGround_[k], g.Cos, g.Sin);
        }
    }

    void SumCharges() {
        std::fill(chargeRe_.begin(), chargeRe_.end(), 0.0f);
        std::fill(chargeIm_.begin(), chargeIm_.end(), 0.0f);
        for (std::size_t j = 0; j < n_; ++j) {
            // A zero voltage (a ground wire) adds exactly nothing to a running sum.
            if (At(j).MaxVoltageKv == 0) continue;
            const double vRe = volts_[j].Re;
            const double vIm = volts_[j].Im;
            const double* column = &columns_[j * n_];
            for (std::size_t i = 0; i < n_; ++i) {
                chargeRe_[i] = static_cast<float>(chargeRe_[i] + column[i] * vRe);
                chargeIm_[i] = static_cast<float>(chargeIm_[i] + column[i] * vIm);
            }
        }
    }

    std::span<TSystemConductor> system_;
    std::span<const int> members_;
    std::size_t n_;
    std::vector<double> columns_; // P⁻¹ by columns
    std::vector<TAngleGroup> groups_;
    std::vector<std::size_t> groupOf_;
    std::vector<TPhasor> volts_;
    std::vector<float> chargeRe_, chargeIm_;
    std::vector<float> maxGradient_;
    std::vector<TGradientFactors> factors_;
    std::vector<double> phaseToGround_; // U ÷ √3, kV
};

void ClearChargeResults(std::span<TSystemConductor> system) {
    for (TSystemConductor& c : system) {
        c.VoltV = {};
        c.ChargeCPerM = {};
        c.MaxGradientKvCm.reset();
    }
}

} // namespace

TChargeResult SolveCharges(std::span<TSystemConductor> system, std::stop_token stop) {
    ClearChargeResults(system);
    TChargeResult result;
    const std::vector<int> members = ChargeSystemMembers(system);
    if (members.empty()) return result;

    result.Pair = FindOverlappingMembers(system, members);
    if (result.Pair.Found()) {
        result.Outcome = TChargeOutcome::Overlapping;
        return result;
    }
    TMatrix inverse = PotentialCoefficients(system, members);
    if (!InvertMatrix(static_cast<int>(members.size()), inverse, stop)) {
        result.Outcome =
            stop.stop_requested() ? TChargeOutcome::Cancelled : TChargeOutcome::Singular;
        return result;
    }

    const bool mixed = IsMixedAcDc(system);
    result.Steps = mixed ? kSweepSteps : 1;
    TChargeSweep sweep(system, members, inverse);
    if (!sweep.Run(result.Steps, mixed, stop)) {
        result.Outcome = TChargeOutcome::Cancelled;
        return result;
    }
    if (!sweep.Store()) {
        ClearChargeResults(system);
        result.Outcome = TChargeOutcome::Singular;
    }
    return result;
}

} // namespace corvalt
