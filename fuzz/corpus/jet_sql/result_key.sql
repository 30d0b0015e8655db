 Select 
       * 
 From 
       Result_Data 
 Where 
       Bowler_Name = '山田 太郎'
   And Alley_Name = 'ABCボウル'
   And Level_Name = 'リーグ'
   And Play_Date = '20240105'
   And Game_Number = 2
