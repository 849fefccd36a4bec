#pragma once
// The one working window: it owns the image, the tables and the editors, and its handlers keep
// the names of the controls and events they serve.

#include "levels/leveltables.h"
#include "types/captions.h"

#include <QByteArray>
#include <QPointer>
#include <QWidget>

class ImageDocument;
class MapLink;
class ObjectCommands;
class QAction;
class QComboBox;
class QFileDialog;
class QGroupBox;
class QItemSelection;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QPushButton;
class QScrollBar;
class QTimer;
class SpriteModel;
class frmAbout;
namespace rom {
class ImageReader;
}

class frmMain : public QWidget {
    Q_OBJECT
  public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // The image being edited, with its undo history.
    ImageDocument *document() const { return m_doc; }
    // The image as held in memory, exactly as long as the file last read.
    const QByteArray &fileData() const;
    // The level row whose objects the object list shows, or -1.
    int shownLevelRow() const;
    // Selects the object list line of the record at `offset` and fills the editors from it, as
    // a click on the line would; with no such line, nothing stays selected.
    void selectRecord(qint64 offset);
    // Opens `path` as if it had been chosen in the "Load..." dialog, after asking about unsaved
    // changes.
    void openPath(const QString &path);
    // The About window while one is open.
    frmAbout *aboutWindow() const;
    // How long after the hidden sequence the About window appears (milliseconds).
    void setEggDelay(int ms) { m_eggDelay = ms; }

  signals:
    // After level `row` was listed in the object list.
    void levelShown(int row);
    // After a line of the object list was selected: its record's offset, or -1 for none.
    void recordSelected(qint64 offset);

  protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

  private:
    void buildControls();
    void Form_Load();
    void Form_Resize();

    // Loading and saving
    void Command1_Click();
    void loadRom();
    void fillROM(rom::ImageReader &reader);
    void doRomCheck();
    void ChgCaption(const QString &text);
    void showError(const QString &text);
    void openFailure();
    void readFailure(const QString &description);
    void replaceImage(QByteArray data);
    void Command2_Click();
    bool saveChanges();
    void SaveAs_Click();
    bool saveAs();
    bool maybeSave();
    void setRomPath(const QString &path);

    // Levels and objects
    void LoadLevels(int game);
    void LoadAddresses(int game);
    bool level_Click();
    void LoadSprites(qint32 address);
    void sprite_Click();
    void Command3_Click();
    void Command4_Click();
    int selectedLevelRow() const;
    int selectedSpriteRow() const;
    void recordsChanged(int levelRow, qint64 recordOffset);
    void sprite_ContextMenu(const QPoint &pos);
    void level_ContextMenu(const QPoint &pos);
    void buildActions();

    // Editors
    void x_Change();
    void y_Change();
    void xplane_Scroll();
    void yplane_Scroll();
    void loadCaptions(int game);
    void getType();
    void maintype_Change();
    void subtype_Change();
    void maintype_LostFocus();
    void subtype_LostFocus();
    void TypeCap_Click(int index);
    void tmrchg_Timer();

    // Hidden extras
    void x_KeyDown(int keyCode, Qt::KeyboardModifiers shift);
    void tmrEgg_Timer();

    ImageDocument *m_doc = nullptr;
    CaptionCatalogue Captions;
    QString KeyBuffer;
    int StartWidth = 0;
    int StartHeight = 0;
    int m_eggDelay = 12500;
    int m_levelRowAtPress = -1;
    int m_spriteRowAtPress = -1;
    QPointer<frmAbout> m_about;

    QGroupBox *Frame1 = nullptr;
    QLabel *RomPath = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QTimer *tmrchg = nullptr;
    QGroupBox *Frame2 = nullptr;
    QListWidget *level = nullptr;
    QGroupBox *Frame3 = nullptr;
    QLabel *Label1 = nullptr;
    QListView *sprite = nullptr;
    SpriteModel *m_sprites = nullptr;
    QGroupBox *Frame6 = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *x = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *y = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command4 = nullptr;
    QGroupBox *Frame5 = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *maintype = nullptr;
    QLineEdit *subtype = nullptr;
    QComboBox *TypeCap = nullptr;
    QTimer *tmrEgg = nullptr;
    QFileDialog *cd = nullptr;
    QScrollBar *yplane = nullptr;
    QScrollBar *xplane = nullptr;

    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
    QAction *m_saveAs = nullptr;
    // Adding, deleting, copying and pasting objects.
    ObjectCommands *m_objects = nullptr;
    // The map window and what it follows here.
    MapLink *m_mapLink = nullptr;
};
