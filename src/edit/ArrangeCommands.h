#pragma once
// The commands of "Anordnen" and "Duplizieren" on the selection: aligning to
// the selection's bounding box (a single object to its face), distributing
// with equal gaps, groups and locks. A group counts as one piece when
// aligning and distributing. Each command is one step of the history.

#include <QString>

#include <vector>

class EditorEnvironment;
class ObjectCommands;

enum class AlignEdge { Left, HCentre, Right, Top, VCentre, Bottom };

class ArrangeCommands {
public:
    ArrangeCommands(EditorEnvironment& env, ObjectCommands& commands);

    void align(AlignEdge edge);
    void distribute(bool horizontally);
    void group();
    void ungroup();
    void lock();
    void unlockAll();
    // Copies of the selection, 10 screen pixels right and down, become the
    // selection; copies of a group form a group of their own.
    void duplicate();

    // What the menu enables.
    bool canAlign() const;
    bool canDistribute() const;   // three or more pieces
    bool canGroup() const;        // two or more pieces
    bool canUngroup() const;
    bool canLock() const;
    bool canUnlockAll() const;

private:
    // The selection as pieces: a group's members together, loose objects alone.
    std::vector<std::vector<int>> pieces() const;
    // Moves each piece by its own offset (document units) as one step.
    void movePieces(const QString& name, const std::vector<std::vector<int>>& pieces,
                    const std::vector<long long>& dx, const std::vector<long long>& dy);

    EditorEnvironment& m_env;
    ObjectCommands& m_commands;
};
