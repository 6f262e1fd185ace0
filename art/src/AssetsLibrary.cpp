// braxo_assets carries only embedded resources; the resource initialisers
// reach every program that links it through object libraries, so no program
// calls Q_INIT_RESOURCE. This file gives the static library a source of its
// own, which CMake requires of a library target.
namespace braxo::assets_detail {
[[maybe_unused]] constexpr int kAssetsLibrary = 1;
}  // namespace braxo::assets_detail
