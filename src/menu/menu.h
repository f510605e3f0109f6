// The popup menu: built from the entry table through a small builder
// interface (realised with HMENUs on Windows, recorded in tests), placed,
// and the chosen item acted on.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/entries.h"

namespace zolto {

struct RunState;
struct TargetList;
struct ExplorerItemFilter;

// Menu command identifiers.
enum MenuId : int {
  kIdEntryBase = 1000,
  kIdShellMenu = 1245,
  kIdHeader = 1250,
  kIdPreviewImage = 1251,
  kIdPreviewCaption = 1252,
  kIdHeaderSeparator = 1300,
  kIdFixedSeparator = 1500,
  kIdEditMain = 1520,
  kIdEditSecond = 1530,
  kIdHelp = 1540,
  kIdVersion = 1550,
  kIdClipboard = 1560,
};

using MenuHandle = std::uintptr_t;

// The menu's item icons (ItemBitmaps), a slot each: the header's, the
// Explorer submenu's and each entry's.
constexpr int kHeaderIconSlot = 0;
constexpr int kShellMenuIconSlot = 2;
constexpr int EntryIconSlot(int entry) { return 3 + entry; }
constexpr int kItemBitmapSlots = EntryIconSlot(kMaxEntries);

// Where an item's icon comes from.
struct IconSource {
  enum Kind { Path, SystemIcon } kind = Path;  // SystemIcon: the "MYSYS" resource
  std::string path;
};

// Everything the menu construction asks of a menu implementation.
class MenuBuilder {
 public:
  virtual ~MenuBuilder() = default;
  virtual MenuHandle CreateMenu() = 0;
  // A string item; columnBreak starts a new column with a bar before it.
  virtual void AppendItem(MenuHandle menu, int id, const std::string& label,
                          bool columnBreak) = 0;
  // A string item with an icon bitmap kept in ItemBitmaps slot `slot`.
  virtual void AppendIconItem(MenuHandle menu, int id, const std::string& text,
                              const IconSource& icon, int slot, bool columnBreak) = 0;
  // A string item whose text is one of the program's own (UTF-8).
  virtual void AppendCaptionItem(MenuHandle menu, int id, const std::string& textUtf8) = 0;
  // The header item (kIdHeader): the target's name as the user gave it
  // (UTF-8), with the icon of icon (kHeaderIconSlot) unless it is null.
  virtual void AppendHeaderItem(MenuHandle menu, const std::string& labelUtf8,
                                const IconSource* icon) = 0;
  virtual void AppendSeparator(MenuHandle menu, int id) = 0;
  // An owner-drawn preview item (its item data is its id).
  virtual void AppendOwnerDrawn(MenuHandle menu, int id, bool columnBreak) = 0;
  virtual void AttachSubmenu(MenuHandle menu, int itemId, MenuHandle submenu) = 0;
  // Deletes every item of menu (a group refilled as it opens).
  virtual void RemoveAllItems(MenuHandle menu) = 0;
  // Destroys menu's submenus, depth first; with self also menu itself.
  virtual void DestroySubmenus(MenuHandle menu) = 0;
  virtual void DestroyMenu(MenuHandle menu) = 0;
  // The target's own Explorer context menu, as a submenu or merged.
  virtual void AddShellMenu(MenuHandle menu) = 0;
  // Previews, made by the front end: true when there is one to show.
  virtual bool LoadPicturePreview(const std::string& path) = 0;
  virtual bool LoadCapturePreview(const std::string& bitmapPath) = 0;
  // Releases the item bitmaps and the preview made for the menu.
  virtual void ReleaseMenuResources() = 0;
};

// Which menu a run shows, and where it opens.
enum class MenuKind { Targets, Targetless };
enum class MenuPlace { Configured, Anchor };  // Anchor: where the previous one stood

// What the preview items of the menu show.
enum class Preview { None, Picture, Text, WebPage };

// A separator or column break that waits for the next item.
enum class BreakKind { None, Separator, ColumnBreak };
struct PendingBreak {
  BreakKind kind = BreakKind::None;
  int index = 0;
};

struct MenuState {
  PendingBreak Pending;
  Preview PreviewKind = Preview::None;
  std::string SizeLabel;  // the text file's size, for the preview caption
  bool MenuShown = false;
  bool AllTargetsRequested = false;
  // Where the last menu stood, and its tracking flags.
  int AnchorX = 0;
  int AnchorY = 0;
  unsigned AnchorFlags = 0;
};

// Builds the target-less menu or the menu for the working target list.
MenuHandle BuildPopupMenu(RunState& run, MenuBuilder& builder, MenuKind kind);
void DestroyPopupMenu(MenuState& state, MenuBuilder& builder, MenuHandle menu);
// Appends one level of entries from start, or (refill) refills the group of
// the SubmenuOpen entry start. Returns the first entry not consumed.
int AddLevelItems(RunState& run, MenuBuilder& builder, MenuHandle menu, int start, bool refill);

// ---- Previews ----

// "( 500 バイト )", "( 1.51 KB )", "( 3.10 MB )": the remainder's leading
// digits, not a rounded fraction (UTF-8).
std::string FormatSizeLabel(unsigned size);
// The text preview's only line for an empty file or one that cannot be
// read: the program's own text (UTF-8), where the file's lines are ANSI.
inline constexpr char kEmptyTextPreview[] = "( 0 バイト )";
// The first lines of the first target, tabs expanded, for the text preview;
// kEmptyTextPreview alone when the file is empty or cannot be read.
std::vector<std::string> TextPreviewLines(RunState& run);

// An uncompressed bitmap file the launcher can draw: "BM", a 40-byte info
// header right before the pixels, 24 or 32 bits, no compression, sane
// dimensions, and all the pixel rows it promises.
struct CaptureBitmap {
  static constexpr size_t infoOffset = 14;  // BITMAPINFO, after the file header
  int width = 0;
  int height = 0;  // negative for rows stored top-down
  int bitCount = 0;
  size_t pixelOffset = 0;
  size_t pixelBytes = 0;
};
bool ValidateCaptureBitmap(std::string_view file, CaptureBitmap& info);

// The capture program's command line for an address, or "" when the address
// cannot be passed safely.
std::string CaptureCommandLine(RunState& run, const std::string& address);
// Runs the capture program and loads its picture: 1 when there is a preview.
int CaptureWebPreview(RunState& run, MenuBuilder& builder, const std::string& address);
constexpr int kCaptureTimeoutMs = 30000;

// ---- The Explorer context menu ----

// The targets that lie in the first target's folder (drive and folder equal
// byte for byte); empty when the first target has no name part (a drive
// root). baseFolder receives that folder, with its backslash.
std::vector<std::string> CollectSameFolderTargets(const TargetList& list, std::string& baseFolder);
// 1 to keep a shell menu item with this text ("[add]" keeps only listed
// prefixes, "[del]" drops them; "&" markers count as written).
int ShellMenuFilter(const ExplorerItemFilter& filter, std::string_view text);

struct ShellItem {
  bool separator = false;
  std::string text;
};
// The positions (descending) of the shell's items to delete: those the
// filter rejects, then separators left first, last or doubled. Items before
// `first` belong to the launcher and are never touched.
std::vector<int> ShellItemsToDelete(const ExplorerItemFilter& filter,
                                    const std::vector<ShellItem>& items, int first);

// ---- Placing and acting (the front end tracks the menu in between) ----

// TrackPopupMenu's flags the placement uses (the Win32 platform checks them
// against the system's TPM_ constants).
enum TrackFlag : unsigned {
  kTrackRightButton = 0x0002,
  kTrackCenterAlign = 0x0004,
  kTrackVCenterAlign = 0x0010,
  kTrackReturnCommand = 0x0100,
};

struct MenuPlacement {
  int x = 0;
  int y = 0;
  unsigned flags = 0;  // TrackFlag values
};

struct ScreenFacts {
  bool hasForeground = false;  // a start foreground window with a rectangle
  int foregroundLeft = 0, foregroundTop = 0, foregroundRight = 0, foregroundBottom = 0;
  int cursorX = 0, cursorY = 0;
};

// The point and flags for the configured position (or the anchor).
MenuPlacement PlaceMenu(const RunState& run, const ScreenFacts& facts, MenuPlace place);

// What a chosen item asks of the front end beyond starting programs.
class MenuActions {
 public:
  virtual ~MenuActions() = default;
  virtual void ShowAbout() = 0;
  virtual void InvokeShellCommand(int id) = 0;
};

// Acts on the chosen id with the modifier state of the choice.
void ActOnMenuChoice(RunState& run, MenuActions& actions, int id, bool control);

}  // namespace zolto
