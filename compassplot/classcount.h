#ifndef CLASSCOUNT_H
#define CLASSCOUNT_H

// The number of measurements counted into one class of one sector. All records are made when
// the sectors are built, so counting a measurement allocates nothing.
struct ClassCount
{
    int count = 0;
};

#endif // CLASSCOUNT_H
