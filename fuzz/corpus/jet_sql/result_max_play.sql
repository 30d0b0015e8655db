 Select 
       Max(PlayNumber) 
 From 
       Result_Data
 Where 
       Bowler_Name = 'O''Brien'
   And (Alley_Name <> 'A'
    Or Level_Name <> 'B')
   And Play_Date = '20240105'
