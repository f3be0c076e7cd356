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

// The sweep over the members of the charge system. The charges are linear in
// the voltages, and a step of the sweep turns every AC voltage by the same
// offset φ: with q_DC the charges of the DC voltages alone and q_AC those of
// the AC voltages at offset 0, the charges of a step are
// q_DC + e^{iφ} q_AC. So the potential coefficients are solved once, for these
// two sets of voltages, and each step costs a few operations per conductor.
class TChargeSweep {
  public:
    TChargeSweep(std::span<TSystemConductor> system, std::span<const int> members)
        : system_(system), members_(members), n_(members.size()) {
        volts_.resize(n_);
        maxGradient_.resize(n_);
        factors_.resize(n_);
        phaseToGround_.resize(n_);
        for (std::size_t k = 0; k < n_; ++k) {
            const TSystemConductor& c = At(k);
            factors_[k] = GradientFactors(c.SubCondCount, c.Bundle);
            phaseToGround_[k] = PhaseToGroundKv(c.MaxVoltageKv);
            AddToAngleGroup(c);
        }
        SetVoltages(SweepOffsetDeg(1));
        SetPartVoltages();
    }

    // q_DC and q_AC of the voltages of step 1, solved by the Cholesky factor.
    void SolveParts(const TCholesky& coefficients) { coefficients.Solve(parts_); }

    // The same from the inverse: each charge the sum of the inverse's row
    // times the voltages, a single-precision running sum in list order (a
    // conductor without voltage adds nothing); see kLargestInvertedSystem.
    void SumParts(const TMatrix& inverse) {
        std::vector<float> sums(parts_.size(), 0.0f);
        for (std::size_t j = 0; j < n_; ++j) {
            if (At(j).MaxVoltageKv == 0) continue;
            for (std::size_t part = 0; part < PartCount; ++part) {
                const double v = parts_[part * n_ + j];
                for (std::size_t i = 0; i < n_; ++i) {
                    float& sum = sums[part * n_ + i];
                    sum = static_cast<float>(
                        sum + inverse(static_cast<int>(i), static_cast<int>(j)) * v);
                }
            }
        }
        parts_.assign(sums.begin(), sums.end());
    }

    // Runs steps 1 .. steps, the AC voltages turned by each step's offset
    // when rotateAc. False when stop was requested before the last step.
    bool Run(int steps, bool rotateAc, const std::stop_token& stop) {
        for (int step = 1; step <= steps; ++step) {
            if (stop.stop_requested()) return false;
            const double phi = rotateAc ? SweepOffsetDeg(step) * constants::kRadPerDeg : 0.0;
            const double cosPhi = std::cos(phi);
            const double sinPhi = std::sin(phi);
            for (std::size_t k = 0; k < n_; ++k) {
                const TPhasor q = ChargeAt(k, cosPhi, sinPhi);
                const float g = SurfaceGradientKvCm(q, factors_[k]);
                if (step == 1 || g > maxGradient_[k]) maxGradient_[k] = g;
            }
            last_ = {cosPhi, sinPhi, rotateAc ? SweepOffsetDeg(step) : 0.0};
        }
        return true;
    }

    // Leaves the last step's voltages and charges and the gradients on the
    // conductors; false when any of them is not finite.
    bool Store() {
        SetVoltages(last_.OffsetDeg);
        bool finite = true;
        for (std::size_t k = 0; k < n_; ++k) {
            TSystemConductor& c = At(k);
            c.VoltV = volts_[k];
            c.ChargeCPerM = ChargeAt(k, last_.Cos, last_.Sin);
            const float g = c.MaxVoltageKv < 0 ? -maxGradient_[k] : maxGradient_[k];
            c.MaxGradientKvCm = g;
            finite = finite && std::isfinite(c.ChargeCPerM.Re) && std::isfinite(c.ChargeCPerM.Im) &&
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

    // The charges' parts, by columns of n values: the real and imaginary parts
    // of q_DC, then those of q_AC.
    enum TPart { DcRe = 0, DcIm, AcRe, AcIm, PartCount };

    struct TRotation {
        double Cos = 1, Sin = 0;
        double OffsetDeg = 0;
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

    // The voltage phasors with the AC ones turned by offsetDeg.
    void SetVoltages(double offsetDeg) {
        for (TAngleGroup& g : groups_) {
            const double theta = VoltageAngleRad(g.PhaseAngleDeg, g.IsAc ? offsetDeg : 0.0);
            g.Cos = std::cos(theta);
            g.Sin = std::sin(theta);
        }
        for (std::size_t k = 0; k < n_; ++k) {
            const TAngleGroup& g = groups_[groupOf_[k]];
            volts_[k] = VoltagePhasorFromCosSinV(phaseToGround_[k], g.Cos, g.Sin);
        }
    }

    // The right-hand sides of q_DC and q_AC: the voltages of step 1, the DC
    // ones and the AC ones apart.
    void SetPartVoltages() {
        parts_.assign(PartCount * n_, 0.0);
        for (std::size_t k = 0; k < n_; ++k) {
            const bool ac = At(k).IsAc;
            parts_[(ac ? AcRe : DcRe) * n_ + k] = volts_[k].Re;
            parts_[(ac ? AcIm : DcIm) * n_ + k] = volts_[k].Im;
        }
    }

    // The charge of member k at the rotation e^{iφ} = cosPhi + i sinPhi.
    TPhasor ChargeAt(std::size_t k, double cosPhi, double sinPhi) const {
        const double acRe = parts_[AcRe * n_ + k];
        const double acIm = parts_[AcIm * n_ + k];
        return {static_cast<float>(parts_[DcRe * n_ + k] + (cosPhi * acRe - sinPhi * acIm)),
                static_cast<float>(parts_[DcIm * n_ + k] + (sinPhi * acRe + cosPhi * acIm))};
    }

    std::span<TSystemConductor> system_;
    std::span<const int> members_;
    std::size_t n_;
    std::vector<TAngleGroup> groups_;
    std::vector<std::size_t> groupOf_;
    std::vector<TPhasor> volts_;
    std::vector<double> parts_; // C/m
    std::vector<float> maxGradient_;
    std::vector<TGradientFactors> factors_;
    std::vector<double> phaseToGround_; // U ÷ √3, kV
    TRotation last_;
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
    const bool mixed = IsMixedAcDc(system);
    result.Steps = mixed ? kSweepSteps : 1;
    TChargeSweep sweep(system, members);
    const auto n = static_cast<int>(members.size());
    TMatrix coefficients = PotentialCoefficients(system, members);
    bool solved = false, libraryMissing = false;
    if (!mixed && n <= kLargestInvertedSystem) {
        solved = InvertMatrix(n, coefficients, stop);
        if (solved) sweep.SumParts(coefficients);
    } else {
        TCholesky factor;
        solved = factor.Factor(coefficients);
        libraryMissing = factor.LibraryMissing();
        if (solved) sweep.SolveParts(factor);
    }
    if (stop.stop_requested() || !solved) {
        result.Outcome = stop.stop_requested() ? TChargeOutcome::Cancelled
                         : libraryMissing      ? TChargeOutcome::NoLibrary
                                               : TChargeOutcome::Singular;
        return result;
    }
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
