#include "solver/glicko.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zel::solver {
namespace {

// Glicko-2 works on its own scale: mu = (rating - 1500) / 173.7178, phi =
// deviation / 173.7178, where 173.7178 = 400 / ln 10.
constexpr double kScale = 173.7178;
constexpr double kCentre = 1500;
// Where the iteration for the new volatility stops.
constexpr double kTolerance = 0.000001;

// How much a game against an opponent this uncertain tells.
double Weight(double phi) {
  return 1 / std::sqrt(1 + 3 * phi * phi / (std::numbers::pi * std::numbers::pi));
}

double ExpectedScore(double mu, double opponentMu, double opponentWeight) {
  return 1 / (1 + std::exp(-opponentWeight * (mu - opponentMu)));
}

// The new volatility: the root of the system's function f by the Illinois
// variant of regula falsi, as the system's description gives it.
double NewVolatility(double sigma, double phi, double variance, double improvement) {
  const double a = std::log(sigma * sigma);
  const double tau = kVolatilityChange;
  const auto f = [&](double x) {
    const double ex = std::exp(x);
    const double d = phi * phi + variance + ex;
    return ex * (improvement * improvement - phi * phi - variance - ex) / (2 * d * d) -
           (x - a) / (tau * tau);
  };
  double low = a;
  double high = 0;
  if (improvement * improvement > phi * phi + variance) {
    high = std::log(improvement * improvement - phi * phi - variance);
  } else {
    int k = 1;
    while (f(a - k * tau) < 0) ++k;
    high = a - k * tau;
  }
  double fLow = f(low);
  double fHigh = f(high);
  while (std::abs(high - low) > kTolerance) {
    const double c = low + (low - high) * fLow / (fHigh - fLow);
    const double fc = f(c);
    if (fc * fHigh <= 0) {
      low = high;
      fLow = fHigh;
    } else {
      fLow /= 2;
    }
    high = c;
    fHigh = fc;
  }
  return std::exp(low / 2);
}

double CappedPhi(double phi) { return std::min(phi, kLargestDeviation / kScale); }

}  // namespace

Glicko AfterPeriod(const Glicko& player, std::span<const Game> games) {
  if (games.empty()) return AfterIdlePeriods(player, 1);
  const double mu = (player.rating - kCentre) / kScale;
  const double phi = player.deviation / kScale;

  double inverseVariance = 0;
  double scoreSum = 0;  // the sum of g(phi_j) (s_j - E_j)
  for (const Game& game : games) {
    const double weight = Weight(game.opponentDeviation / kScale);
    const double expected = ExpectedScore(mu, (game.opponentRating - kCentre) / kScale, weight);
    inverseVariance += weight * weight * expected * (1 - expected);
    scoreSum += weight * (game.score - expected);
  }
  const double variance = 1 / inverseVariance;
  const double improvement = variance * scoreSum;

  const double sigma = NewVolatility(player.volatility, phi, variance, improvement);
  const double widened = std::sqrt(phi * phi + sigma * sigma);
  const double newPhi = 1 / std::sqrt(1 / (widened * widened) + inverseVariance);
  const double newMu = mu + newPhi * newPhi * scoreSum;
  return {kCentre + kScale * newMu, kScale * CappedPhi(newPhi), sigma};
}

Glicko AfterIdlePeriods(const Glicko& player, int periods) {
  if (periods <= 0) return player;
  const double phi = player.deviation / kScale;
  const double sigma = player.volatility;
  const double widened = std::sqrt(phi * phi + periods * sigma * sigma);
  return {player.rating, kScale * CappedPhi(widened), sigma};
}

}  // namespace zel::solver
