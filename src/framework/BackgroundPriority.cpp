#include "framework/BackgroundPriority.h"

#include <pthread.h>
#include <sched.h>

void runAtBackgroundPriority()
{
    // Best effort: where the policy is refused the thread keeps its priority.
    sched_param param {};
    param.sched_priority = 0;
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &param);
}
