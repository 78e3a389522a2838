#pragma once
#include <QToolButton>

// The device tile of the selection page. Its object name is "btn" followed by
// the index of its device; when the pointer enters it, it asks for that tile
// to be refreshed by emitting the index. A name that carries no index (or a
// negative one) emits nothing, and the receiver still checks the index against
// its device list, which may have changed since the tile was built.
class mytoolButtonEnter : public QToolButton
{
    Q_OBJECT
public:
    explicit mytoolButtonEnter(QWidget *parent = nullptr);
    ~mytoolButtonEnter() override;

    // The tile index carried by an object name, or -1 when it carries none.
    static int TileIndexFromName(const QString &objectName);

signals:
    void tileEntered(int index);

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
};
