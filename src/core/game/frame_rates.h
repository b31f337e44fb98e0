#pragma once
// The AVI demo frame-rate list of a game (the editable drop-down cboAviDemo). Items carry a
// one-character prefix and a data word: " " + rate with data 0 is a stored entry, saved in the
// game's key; "*" + rate with data 1 is a temporary entry for the current trace only, never saved.
// Temporary entries come first, each group in ascending order.

#include <QString>
#include <QStringList>
#include <vector>

namespace kestrova {

constexpr int kDefaultFrameRate = 50;
constexpr int kMaxFrameRate = 100000;
inline const QString kDefaultAviDemos = QStringLiteral("25;30;50;60;75;90;100");

// The rates of an "AviDemos" text: every part that is a number, rounded, and above 0.
std::vector<int> ParseAviDemos(const QString& text);

// Whether a key typed into the frame-rate box is let through. Backspace is '\b'.
bool AviDemoKeyAllowed(const QString& text, int caret, int selectionLength, QChar key);

class FrameRateList {
public:
    struct Item {
        QString text; // prefix + rate
        int data = 0; // 1: temporary
    };

    // Reads "AviDemos" and "AviDemoDefault" from the game's key (writing the seven default rates
    // when the stored text is absent or holds no usable rate), rebuilds and selects the default.
    void Load(const QString& key);
    // Writes the stored rates (each followed by ";") and the default.
    void Save(const QString& key) const;

    // Sorts the items into temporaries then stored entries, each ascending.
    void Rebuild();

    const std::vector<Item>& Items() const { return items_; }
    int Count() const { return static_cast<int>(items_.size()); }
    int Value(int index) const;
    bool IsTemporary(int index) const;
    // Item texts as shown in the drop-down part.
    QStringList Texts() const;
    // Height of the drop-down part that shows every item, in twips.
    int DropDownHeightTwips() const { return (Count() * 14 + 2) * 15; }

    int DefaultRate() const { return defaultRate_; }
    void SetDefaultRate(int rate) { defaultRate_ = rate; }

    // The index of " " + rate, or (unless storedOnly) of "*" + rate; -1 when absent.
    int Find(int rate, bool storedOnly = false) const;

    // Selects the stored entry of the default rate; without one, the first stored entry becomes
    // the default. Returns the index selected.
    int SelectDefault();
    // Selecting an item shows its bare rate in the edit box. Outside the list: item 0.
    void Select(int index);
    int Selected() const { return selected_; }
    // The edit box text: always the bare number.
    const QString& EditText() const { return editText_; }
    void SetEditText(const QString& text) { editText_ = text; }
    // The rate the trace uses: the edit box text as a number (0 when it is not one).
    int CurrentRate() const;

    // A temporary entry for the current trace (a rate found in a loaded trace); nothing when the
    // rate is already listed. Returns the item's index.
    int AddTemporary(int rate);

    // Selects the rate, adding it as a temporary entry when it is not listed (a trace's own rate).
    // Returns the index selected.
    int SelectRate(int rate);

    // Validation of the edit box text.
    struct Validation {
        bool accepted = false;
        int value = 0;
        bool added = false;          // a new item was put in the list
        bool addedTemporary = false; // marks the trace modified if it has control points
    };
    Validation Validate(const QString& text);

    // The context menu for the item whose value is the edit box's text.
    struct MenuState {
        int index = -1; // -1: no menu
        bool setAsDefaultEnabled = false;
        bool setAsDefaultChecked = false;
        bool removeEnabled = false;
    };
    MenuState ContextMenu() const;
    // "Set as default" on a stored entry.
    bool SetAsDefault(int index);
    // "Remove": a temporary entry, or a stored one while another stored entry remains. Item 0
    // is selected afterwards. Returns whether a temporary entry went (the trace is then
    // modified when it has control points).
    struct Removal {
        bool removed = false;
        bool temporary = false;
    };
    Removal Remove(int index);

    // Stored rates in list order, and the "AviDemos" text they make.
    std::vector<int> StoredRates() const;
    QString StoredText() const;
    // Every rate of the list, temporaries included, each followed by ";" (what a trace keeps).
    QString AllRatesText() const;

private:
    int StoredCount() const;

    std::vector<Item> items_;
    int defaultRate_ = kDefaultFrameRate;
    int selected_ = -1;
    QString editText_;
};

} // namespace kestrova
