#include "checkbox/checkboxstate.h"

void CheckBoxState::toggle(int index)
{
    if (index < 0 || index >= checkStateCount)
        return;
    checkState[index] = -checkState[index];
}

bool CheckBoxState::supplySet(int set, const CheckBoxSet &content)
{
    if (set < 0 || set >= setCount || content.items.size() > itemsPerSet)
        return false;
    setItemCount[set] = static_cast<int>(content.items.size());
    for (int item = 0; item < itemsPerSet; ++item) {
        if (item < content.items.size()) {
            itemText[set][item] = content.items[item].text;
            expectedCheck[set][item] = content.items[item].mustBeTicked ? 1 : -1;
        } else {
            itemText[set][item] = Value();
            expectedCheck[set][item] = Value();
        }
    }
    setComment[set] = content.comment;
    return true;
}
