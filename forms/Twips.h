#pragma once
// Twips (1/1440 inch) to pixels and back at a given dots-per-inch, rounding
// to nearest so that 10 twips at 96 dpi is one pixel, not none.
namespace forms {

constexpr int TwipsToPixels(int twips, int dpi) {
    long long n = 1LL * twips * dpi;
    return static_cast<int>(n >= 0 ? (n + 720) / 1440 : (n - 720) / 1440);
}

constexpr int PixelsToTwips(int pixels, int dpi) {
    long long n = 1LL * pixels * 1440;
    long long half = dpi / 2;
    return static_cast<int>(n >= 0 ? (n + half) / dpi : (n - half) / dpi);
}

constexpr float PixelsToTwipsF(float pixels, int dpi) { return pixels * 1440.0f / static_cast<float>(dpi); }

}  // namespace forms
